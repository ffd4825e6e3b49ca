#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "hotkey/hotkeymanager.h"
#include "hotkey/hotkeyscontroller.h"
#include "hotkey/keycombodto.h"
#include "hotkey/modifierflags.h"
#include "platform/fake/fakeglobalshortcutservice.h"
#include "platform/userdefaults.h"

namespace {

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

} // namespace
