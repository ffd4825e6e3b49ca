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

TEST(KeyComboDtoTest, round_trips_with_exactly_three_keys_and_decodes_only_complete_well_typed_objects)
{
    const KeyComboDTO dto{40, 0x180000, QStringLiteral("⌘⌥K")};
    EXPECT_EQ(QJsonDocument::fromJson(dto.toJson()).object().keys(), (QStringList{"display", "keyCode", "modifiers"}));
    EXPECT_EQ(KeyComboDTO::fromJson(dto.toJson()), dto);
    EXPECT_TRUE(KeyComboDTO::fromJson(R"( { "display" : "x", "x" : 1, "modifiers" : 0, "keyCode" : 52 } )"));
    for (const char *json : {R"({"keyCode":9,"modifiers":1179648})", R"({"keyCode":9,"modifiers":0,"display":7})",
                             R"({"keyCode":9,"modifiers":0.5,"display":"V"})",
                             R"({"keyCode":4294967296,"modifiers":0,"display":"V"})", R"([9,1179648,"V"])",
                             R"({"keyCode":9,"modif)"})
        EXPECT_FALSE(KeyComboDTO::fromJson(json)) << json;
}

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

TEST_F(HotKeyManagerTest, first_launch_stores_and_registers_super_shift_v_whose_press_toggles)
{
    auto manager = makeManager();
    const KeyComboDTO expected{9, 1179648, QStringLiteral("⌘⇧V")};
    EXPECT_EQ(manager->combo(), expected);
    EXPECT_EQ(stored(), expected);
    EXPECT_EQ(service.grabs().size(), 1u);
    EXPECT_EQ(service.press(9, 768), Service::kNoErr);
    EXPECT_EQ(service.release(9, 768), Service::kEventNotHandledErr);
    EXPECT_EQ(toggles, 1);
}

// A stored value is restored as it is, or with a display this desktop can
// draw; a broken one is replaced by the default.
struct StoredRow {
    const char *name;
    QByteArray bytes;
    bool asString;
    KeyComboDTO expected;
};

class StoredValueTest : public HotKeyManagerTest, public ::testing::WithParamInterface<StoredRow> {};

TEST_P(StoredValueTest, is_restored_registered_and_saved_readably)
{
    const StoredRow &row = GetParam();
    if (row.asString)
        defaults.setString(QStringLiteral("bramblet.hotkey"), QString::fromUtf8(row.bytes));
    else
        defaults.setBytes(QStringLiteral("bramblet.hotkey"), row.bytes);
    auto manager = makeManager();
    EXPECT_EQ(manager->combo(), row.expected);
    EXPECT_EQ(stored(), row.expected);
    if (Keys::fromCarbonKeyCode(row.expected.keyCode)) {
        EXPECT_NE(service.grabFor(row.expected.keyCode, ModifierFlags::carbonFlags(row.expected.modifiers)), nullptr);
    }
}

StoredRow storedDisplay(const char *name, uint32_t code, uint64_t mods, const char16_t *stored, const char16_t *shown)
{
    return {name, KeyComboDTO{code, mods, QString::fromUtf16(stored)}.toJson(), false,
            KeyComboDTO{code, mods, QString::fromUtf16(shown)}};
}

INSTANTIATE_TEST_SUITE_P(
    Values, StoredValueTest,
    ::testing::Values(
        StoredRow{"not_json", "garbage", false, KeyComboDTO::defaultCombo()},
        StoredRow{"stored_as_text_not_bytes", R"({"keyCode":40,"modifiers":1572864,"display":"K"})", true,
                  KeyComboDTO::defaultCombo()},
        storedDisplay("readable_display_is_kept", 40, 0x180000, u"⌘⌥K", u"⌘⌥K"),
        storedDisplay("private_use_f12_with_two_modifiers", 111, 0x120000, u"⌘⇧\uF861F12", u"⌘⇧F12"),
        storedDisplay("private_use_outside_the_table", 0x10000 + 200, 0x100000, u"⌘\uF8FF", u"⌘#65736"),
        storedDisplay("numbered_arrow", 126, 0x20000, u"⇧#126", u"⇧↑"),
        storedDisplay("numbered_key_outside_the_table_is_kept", 52, 0x100000, u"⌘#52", u"⌘#52")),
    [](const auto &info) { return std::string(info.param.name); });

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

TEST_F(HotKeyManagerTest, refused_combination_stays_saved_and_an_empty_one_saves_nothing)
{
    service.refuse(40, 2304);
    auto manager = makeManager();
    manager->setComboFrom(KeyDownEvent{40, 0x180000, QStringLiteral("k")});
    EXPECT_EQ(stored()->display, QStringLiteral("⌘⌥K"));
    EXPECT_NE(manager->hotKey(), nullptr);
    EXPECT_TRUE(service.grabs().empty());

    manager->setCombo(std::nullopt);
    EXPECT_EQ(stored()->display, QStringLiteral("⌘⌥K"));
    EXPECT_EQ(manager->hotKey(), nullptr);
}

} // namespace
