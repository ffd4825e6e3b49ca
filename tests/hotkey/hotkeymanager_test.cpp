#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "hotkey/hotkey.h"
#include "hotkey/hotkeymanager.h"
#include "hotkey/hotkeyscontroller.h"
#include "hotkey/keycombodto.h"
#include "hotkey/modifierflags.h"
#include "platform/fake/fakeglobalshortcutservice.h"
#include "platform/userdefaults.h"

namespace {

using Service = GlobalShortcutService;

class HotKeyManagerTest : public ::testing::Test
{
protected:
    std::unique_ptr<HotKeyManager> makeManager()
    {
        return std::make_unique<HotKeyManager>(controller, defaults, [this] { ++toggles; });
    }
    std::optional<KeyComboDTO> stored() const
    {
        // A fresh reader: the value must be on disk, not only in memory.
        const auto bytes = UserDefaults(defaults.filePath()).bytesValue(QStringLiteral("bramblet.hotkey"));
        return bytes ? KeyComboDTO::fromJson(*bytes) : std::nullopt;
    }

    QTemporaryDir dir;
    UserDefaults defaults{dir.path() + QStringLiteral("/Bramblet.conf")};
    FakeGlobalShortcutService service;
    HotKeysController controller{service};
    int toggles = 0;
};

// A stored value is restored as it is, or with a display this desktop can
// draw; one not of exactly three well-typed keys is replaced by the default.
// Either is saved again as those three keys.
TEST_F(HotKeyManagerTest, a_stored_value_is_restored_registered_and_saved_readably)
{
    const auto combo = [](uint32_t code, uint64_t mods, const char16_t *display) {
        return KeyComboDTO{code, mods, QString::fromUtf16(display)};
    };
    const struct {
        const char *name;
        QByteArray bytes;
        KeyComboDTO expected;
    } rows[] = {
        {"not_json", "garbage", KeyComboDTO::defaultCombo()},
        {"key_missing", R"({"keyCode":9,"modifiers":1179648})", KeyComboDTO::defaultCombo()},
        {"display_not_text", R"({"keyCode":9,"modifiers":0,"display":7})", KeyComboDTO::defaultCombo()},
        {"fractional_modifiers", R"({"keyCode":9,"modifiers":0.5,"display":"V"})", KeyComboDTO::defaultCombo()},
        {"key_code_beyond_32_bits", R"({"keyCode":4294967296,"modifiers":0,"display":"V"})",
         KeyComboDTO::defaultCombo()},
        {"array", R"([9,1179648,"V"])", KeyComboDTO::defaultCombo()},
        {"unknown_key_ignored_and_spaces", R"( { "display" : "K", "x" : 1, "modifiers" : 0, "keyCode" : 40 } )",
         combo(40, 0, u"K")},
        {"readable_display_is_kept", combo(40, 0x180000, u"⌘⌥K").toJson(), combo(40, 0x180000, u"⌘⌥K")},
        {"private_use_f12", combo(111, 0x120000, u"⌘⇧\uF861F12").toJson(), combo(111, 0x120000, u"⌘⇧F12")},
        {"private_use_outside_the_table", combo(0x10000 + 200, 0x100000, u"⌘\uF8FF").toJson(),
         combo(0x10000 + 200, 0x100000, u"⌘#65736")},
        {"numbered_arrow", combo(126, 0x20000, u"⇧#126").toJson(), combo(126, 0x20000, u"⇧↑")},
        {"numbered_key_outside_the_table_is_kept", combo(52, 0x100000, u"⌘#52").toJson(), combo(52, 0x100000, u"⌘#52")},
        {"stored_as_text_not_bytes", {}, KeyComboDTO::defaultCombo()}};
    for (const auto &row : rows) {
        if (row.bytes.isEmpty())
            defaults.setString(QStringLiteral("bramblet.hotkey"), QString::fromUtf8(combo(40, 0, u"K").toJson()));
        else
            defaults.setBytes(QStringLiteral("bramblet.hotkey"), row.bytes);
        auto manager = makeManager();
        EXPECT_EQ(manager->combo(), row.expected) << row.name;
        EXPECT_EQ(stored(), row.expected) << row.name;
        EXPECT_EQ(QJsonDocument::fromJson(*defaults.bytesValue(QStringLiteral("bramblet.hotkey"))).object().keys(),
                  (QStringList{"display", "keyCode", "modifiers"}));
        const uint32_t mask = ModifierFlags::carbonFlags(row.expected.modifiers);
        EXPECT_EQ(service.grabFor(row.expected.keyCode, mask) != nullptr,
                  Keys::fromCarbonKeyCode(row.expected.keyCode).has_value())
            << row.name;
    }
}

// A recorded press: display built from the press, only the four modifier
// flags kept, saved, registered in place of the old one; a key with no
// position is saved and shown but not registered.
TEST_F(HotKeyManagerTest, a_recorded_press_replaces_the_shortcut)
{
    const struct {
        uint32_t keyCode;
        uint64_t flags;
        const char16_t *characters, *display;
        uint64_t storedFlags;
    } rows[] = {{40, 0x180000, u"k", u"⌘⌥K", 0x180000},
                {0, 0x1E0000, u"a", u"⌘⇧⌥⌃A", 0x1E0000},
                {9, 0x10000 | 0x800000 | 0x100000, u"v", u"⌘V", 0x100000},
                {52, 0x100000, u"", u"⌘#52", 0x100000}};
    auto manager = makeManager();
    QSignalSpy changed(manager.get(), &HotKeyManager::comboChanged);
    for (const auto &row : rows) {
        manager->setComboFrom(KeyDownEvent{row.keyCode, row.flags, QString::fromUtf16(row.characters)});
        const KeyComboDTO expected{row.keyCode, row.storedFlags, QString::fromUtf16(row.display)};
        EXPECT_EQ(manager->combo(), expected);
        EXPECT_EQ(stored(), expected);
        const bool positioned = Keys::fromCarbonKeyCode(row.keyCode).has_value();
        EXPECT_EQ(service.grabs().size(), positioned ? 1u : 0u);
        EXPECT_EQ(service.press(row.keyCode, ModifierFlags::carbonFlags(row.storedFlags)),
                  positioned ? Service::kNoErr : Service::kEventNotHandledErr);
    }
    EXPECT_EQ(changed.count(), 4);
    EXPECT_EQ(toggles, 3);
}

} // namespace
