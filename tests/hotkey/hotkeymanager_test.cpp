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

struct DecodeRow {
    const char *name;
    const char *json;
    bool decodes;
};

class DtoDecodeTest : public ::testing::TestWithParam<DecodeRow> {};

TEST_P(DtoDecodeTest, decodes_only_complete_well_typed_objects)
{
    EXPECT_EQ(KeyComboDTO::fromJson(QByteArray(GetParam().json)).has_value(), GetParam().decodes);
}

INSTANTIATE_TEST_SUITE_P(
    Stored, DtoDecodeTest,
    ::testing::Values(
        DecodeRow{"other_key_order_spaces_and_extra_key", R"( { "display" : "x", "x" : 1, "modifiers" : 0, "keyCode" : 52 } )", true},
        DecodeRow{"missing_display", R"({"keyCode":9,"modifiers":1179648})", false},
        DecodeRow{"missing_modifiers", R"({"keyCode":9,"display":"V"})", false},
        DecodeRow{"display_not_a_string", R"({"keyCode":9,"modifiers":0,"display":7})", false},
        DecodeRow{"fractional_modifiers", R"({"keyCode":9,"modifiers":0.5,"display":"V"})", false},
        DecodeRow{"key_code_beyond_32_bits", R"({"keyCode":4294967296,"modifiers":0,"display":"V"})", false},
        DecodeRow{"array", R"([9,1179648,"V"])", false},
        DecodeRow{"truncated", R"({"keyCode":9,"modif)", false}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(KeyComboDtoTest, round_trips_through_json_with_exactly_three_keys)
{
    const KeyComboDTO dto{40, 0x180000, QStringLiteral("⌘⌥K")};
    const QByteArray json = dto.toJson();
    EXPECT_EQ(QJsonDocument::fromJson(json).object().keys(), (QStringList{"display", "keyCode", "modifiers"}));
    EXPECT_EQ(KeyComboDTO::fromJson(json), dto);
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
        EXPECT_EQ(service.grabs().size(), 1u);
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
        StoredRow{"missing_display", R"({"keyCode":40,"modifiers":1572864})", false, KeyComboDTO::defaultCombo()},
        StoredRow{"not_json", "garbage", false, KeyComboDTO::defaultCombo()},
        StoredRow{"stored_as_text_not_bytes", R"({"keyCode":40,"modifiers":1572864,"display":"K"})", true,
                  KeyComboDTO::defaultCombo()},
        storedDisplay("readable_display_is_kept", 40, 0x180000, u"⌘⌥K", u"⌘⌥K"),
        storedDisplay("layout_letter_is_kept", 12, 0x100000, u"⌘A", u"⌘A"),
        storedDisplay("private_use_function_key", 122, 0x80000, u"⌥\uF860F1", u"⌥F1"),
        storedDisplay("private_use_f12_with_two_modifiers", 111, 0x120000, u"⌘⇧\uF861F12", u"⌘⇧F12"),
        storedDisplay("private_use_outside_the_table", 0x10000 + 200, 0x100000, u"⌘\uF8FF", u"⌘#65736"),
        storedDisplay("numbered_arrow", 126, 0x20000, u"⇧#126", u"⇧↑"),
        storedDisplay("numbered_key_outside_the_table_is_kept", 52, 0x100000, u"⌘#52", u"⌘#52")),
    [](const auto &info) { return std::string(info.param.name); });

// A recorded press: display built from the press, only the four modifier
// flags kept, saved, registered in place of the old one; a key with no
// position is saved and shown but not registered.
struct RecordedRow {
    const char *name;
    uint32_t keyCode;
    uint64_t flags;
    const char16_t *characters;
    const char16_t *display;
    uint64_t storedFlags;
};

class RecordedTest : public HotKeyManagerTest, public ::testing::WithParamInterface<RecordedRow> {};

TEST_P(RecordedTest, replaces_the_shortcut)
{
    const RecordedRow &row = GetParam();
    auto manager = makeManager();
    QSignalSpy changed(manager.get(), &HotKeyManager::comboChanged);
    manager->setComboFrom(KeyDownEvent{row.keyCode, row.flags, QString::fromUtf16(row.characters)});
    const KeyComboDTO expected{row.keyCode, row.storedFlags, QString::fromUtf16(row.display)};
    EXPECT_EQ(manager->combo(), expected);
    EXPECT_EQ(stored(), expected);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(service.grabFor(9, 768), nullptr);
    const uint32_t mask = ModifierFlags::carbonFlags(row.storedFlags);
    if (Keys::fromCarbonKeyCode(row.keyCode)) {
        EXPECT_EQ(service.press(row.keyCode, mask), Service::kNoErr);
        EXPECT_EQ(toggles, 1);
    } else {
        EXPECT_TRUE(service.grabs().empty());
        EXPECT_EQ(manager->hotKey(), nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Presses, RecordedTest,
    ::testing::Values(
        RecordedRow{"option_command_k", 40, 0x180000, u"k", u"⌘⌥K", 0x180000},
        RecordedRow{"order_is_command_shift_option_control", 0, 0x1E0000, u"a", u"⌘⇧⌥⌃A", 0x1E0000},
        RecordedRow{"function_key_gives_its_label", 111, 0x80000, u"", u"⌥F12", 0x80000},
        RecordedRow{"caps_lock_and_function_flags_dropped", 9, 0x10000 | 0x800000 | 0x100000, u"v", u"⌘V", 0x100000},
        RecordedRow{"code_of_no_key_is_saved_and_shown_only", 52, 0x100000, u"", u"⌘#52", 0x100000}),
    [](const auto &info) { return std::string(info.param.name); });

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
