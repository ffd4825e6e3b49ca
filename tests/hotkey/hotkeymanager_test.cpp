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

// --- KeyComboDTO JSON form ---

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
        DecodeRow{"complete", R"({"keyCode":9,"modifiers":1179648,"display":"⌘⇧V"})", true},
        DecodeRow{"other_key_order_and_spaces", R"( { "display" : "x", "modifiers" : 0, "keyCode" : 52 } )", true},
        DecodeRow{"extra_key_is_ignored", R"({"keyCode":9,"modifiers":0,"display":"V","x":1})", true},
        DecodeRow{"missing_display", R"({"keyCode":9,"modifiers":1179648})", false},
        DecodeRow{"missing_key_code", R"({"modifiers":1179648,"display":"V"})", false},
        DecodeRow{"missing_modifiers", R"({"keyCode":9,"display":"V"})", false},
        DecodeRow{"display_not_a_string", R"({"keyCode":9,"modifiers":0,"display":7})", false},
        DecodeRow{"key_code_as_string", R"({"keyCode":"9","modifiers":0,"display":"V"})", false},
        DecodeRow{"negative_key_code", R"({"keyCode":-1,"modifiers":0,"display":"V"})", false},
        DecodeRow{"fractional_modifiers", R"({"keyCode":9,"modifiers":0.5,"display":"V"})", false},
        DecodeRow{"key_code_beyond_32_bits", R"({"keyCode":4294967296,"modifiers":0,"display":"V"})", false},
        DecodeRow{"array", R"([9,1179648,"V"])", false},
        DecodeRow{"truncated", R"({"keyCode":9,"modif)", false},
        DecodeRow{"empty", "", false},
        DecodeRow{"binary_garbage", "\x01\xff\xfe{", false}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(KeyComboDtoTest, round_trips_through_json_with_exactly_three_keys)
{
    const KeyComboDTO dto{40, 0x180000, QStringLiteral("⌘⌥K")};
    const QByteArray json = dto.toJson();
    const QJsonObject object = QJsonDocument::fromJson(json).object();
    EXPECT_EQ(object.keys(), (QStringList{"display", "keyCode", "modifiers"}));
    EXPECT_EQ(KeyComboDTO::fromJson(json), dto);
}

TEST(KeyComboDtoTest, default_is_v_with_command_shift)
{
    const KeyComboDTO d = KeyComboDTO::defaultCombo();
    EXPECT_EQ(d.keyCode, 9u);
    EXPECT_EQ(d.modifiers, 1179648u);
    EXPECT_EQ(d.display, QStringLiteral("⌘⇧V"));
}

// --- HotKeyManager ---

class HotKeyManagerTest : public ::testing::Test
{
protected:
    std::unique_ptr<HotKeyManager> makeManager()
    {
        return std::make_unique<HotKeyManager>(controller, defaults, [this] { ++toggles; });
    }
    std::optional<KeyComboDTO> stored() const
    {
        const auto bytes = defaults.bytesValue(QStringLiteral("bramblet.hotkey"));
        return bytes ? KeyComboDTO::fromJson(*bytes) : std::nullopt;
    }

    QTemporaryDir dir;
    UserDefaults defaults{dir.path() + QStringLiteral("/Bramblet.conf")};
    FakeGlobalShortcutService service;
    HotKeysController controller{service};
    int toggles = 0;
};

TEST_F(HotKeyManagerTest, first_launch_stores_and_registers_the_default)
{
    auto manager = makeManager();
    ASSERT_TRUE(manager->combo());
    EXPECT_EQ(*manager->combo(), KeyComboDTO::defaultCombo());
    const auto bytes = defaults.bytesValue(QStringLiteral("bramblet.hotkey"));
    ASSERT_TRUE(bytes);
    const QJsonObject object = QJsonDocument::fromJson(*bytes).object();
    EXPECT_EQ(object.value("keyCode").toInt(), 9);
    EXPECT_EQ(object.value("modifiers").toInteger(), 1179648);
    EXPECT_EQ(object.value("display").toString(), QStringLiteral("⌘⇧V"));
    EXPECT_NE(service.grabFor(9, 768), nullptr);
    EXPECT_EQ(service.grabs().size(), 1u);
}

TEST_F(HotKeyManagerTest, stored_value_is_restored_and_written_to_disk)
{
    defaults.setBytes(QStringLiteral("bramblet.hotkey"), KeyComboDTO{40, 0x180000, QStringLiteral("⌘⌥K")}.toJson());
    auto manager = makeManager();
    EXPECT_EQ(manager->combo()->display, QStringLiteral("⌘⌥K"));
    EXPECT_NE(service.grabFor(40, 2304), nullptr);
    EXPECT_EQ(service.grabFor(9, 768), nullptr);

    UserDefaults reread(defaults.filePath());
    const auto bytes = reread.bytesValue(QStringLiteral("bramblet.hotkey"));
    ASSERT_TRUE(bytes);
    EXPECT_EQ(KeyComboDTO::fromJson(*bytes)->keyCode, 40u);
}

struct BrokenRow {
    const char *name;
    QByteArray bytes;
    bool asString;
};

class BrokenStoredValueTest : public HotKeyManagerTest, public ::testing::WithParamInterface<BrokenRow> {};

TEST_P(BrokenStoredValueTest, is_replaced_by_the_default)
{
    if (GetParam().asString)
        defaults.setString(QStringLiteral("bramblet.hotkey"), QString::fromUtf8(GetParam().bytes));
    else
        defaults.setBytes(QStringLiteral("bramblet.hotkey"), GetParam().bytes);
    auto manager = makeManager();
    EXPECT_EQ(*manager->combo(), KeyComboDTO::defaultCombo());
    EXPECT_EQ(stored(), KeyComboDTO::defaultCombo());
    EXPECT_NE(service.grabFor(9, 768), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Values, BrokenStoredValueTest,
    ::testing::Values(BrokenRow{"missing_display", R"({"keyCode":40,"modifiers":1572864})", false},
                      BrokenRow{"not_json", "garbage", false},
                      BrokenRow{"stored_as_text_not_bytes", R"({"keyCode":40,"modifiers":1572864,"display":"K"})", true}),
    [](const auto &info) { return std::string(info.param.name); });

struct StoredDisplayRow {
    const char *name;
    uint32_t keyCode;
    uint64_t modifiers;
    const char16_t *stored;
    const char16_t *shown;
};

class StoredDisplayTest : public HotKeyManagerTest, public ::testing::WithParamInterface<StoredDisplayRow> {};

TEST_P(StoredDisplayTest, is_shown_readably_and_saved_so)
{
    const StoredDisplayRow &row = GetParam();
    defaults.setBytes(QStringLiteral("bramblet.hotkey"),
                      KeyComboDTO{row.keyCode, row.modifiers, QString::fromUtf16(row.stored)}.toJson());
    auto manager = makeManager();
    const KeyComboDTO expected{row.keyCode, row.modifiers, QString::fromUtf16(row.shown)};
    EXPECT_EQ(manager->combo(), expected);
    EXPECT_EQ(stored(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Displays, StoredDisplayTest,
    ::testing::Values(
        StoredDisplayRow{"private_use_function_key", 122, 0x80000, u"⌥\uF860F1", u"⌥F1"},
        StoredDisplayRow{"private_use_f12_with_two_modifiers", 111, 0x120000, u"⌘⇧\uF861F12", u"⌘⇧F12"},
        StoredDisplayRow{"private_use_outside_the_table", 0x10000 + 200, 0x100000, u"⌘\uF8FF", u"⌘#65736"},
        StoredDisplayRow{"numbered_function_key", 122, 0x80000, u"⌥#122", u"⌥F1"},
        StoredDisplayRow{"numbered_arrow", 126, 0x20000, u"⇧#126", u"⇧↑"},
        StoredDisplayRow{"numbered_key_outside_the_table_is_kept", 52, 0x100000, u"⌘#52", u"⌘#52"},
        StoredDisplayRow{"readable_display_is_kept", 40, 0x180000, u"⌘⌥K", u"⌘⌥K"},
        StoredDisplayRow{"layout_letter_is_kept", 12, 0x100000, u"⌘A", u"⌘A"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(HotKeyManagerTest, key_down_toggles_and_key_up_does_nothing)
{
    auto manager = makeManager();
    EXPECT_EQ(service.press(9, 768), Service::kNoErr);
    EXPECT_EQ(toggles, 1);
    EXPECT_EQ(service.release(9, 768), Service::kEventNotHandledErr);
    EXPECT_EQ(service.press(9, 768), Service::kNoErr);
    EXPECT_EQ(toggles, 2);
}

TEST_F(HotKeyManagerTest, creation_registers_twice_dropping_the_first)
{
    auto manager = makeManager();
    EXPECT_EQ(service.registerCalls(), 2);
    EXPECT_EQ(controller.lastHotKeyID(), 2u);
    EXPECT_EQ(controller.registry().size(), 1u);
}

TEST_F(HotKeyManagerTest, recorded_option_command_k)
{
    auto manager = makeManager();
    QSignalSpy changed(manager.get(), &HotKeyManager::comboChanged);
    manager->setComboFrom(KeyDownEvent{40, ModifierFlags::kOption | ModifierFlags::kCommand, QStringLiteral("k")});
    EXPECT_EQ(*manager->combo(), (KeyComboDTO{40, 0x180000, QStringLiteral("⌘⌥K")}));
    EXPECT_EQ(stored(), manager->combo());
    EXPECT_EQ(service.grabFor(9, 768), nullptr);
    EXPECT_NE(service.grabFor(40, 2304), nullptr);
    EXPECT_EQ(changed.count(), 1);
    service.press(40, 2304);
    EXPECT_EQ(toggles, 1);
}

struct DisplayRow {
    const char *name;
    uint32_t keyCode;
    uint64_t flags;
    const char16_t *characters;
    const char16_t *display;
    uint64_t storedFlags;
};

class DisplayTest : public HotKeyManagerTest, public ::testing::WithParamInterface<DisplayRow> {};

TEST_P(DisplayTest, builds_display_and_keeps_only_four_flags)
{
    auto manager = makeManager();
    manager->setComboFrom(KeyDownEvent{GetParam().keyCode, GetParam().flags, QString::fromUtf16(GetParam().characters)});
    EXPECT_EQ(manager->combo()->display, QString::fromUtf16(GetParam().display));
    EXPECT_EQ(manager->combo()->modifiers, GetParam().storedFlags);
    EXPECT_EQ(manager->combo()->keyCode, GetParam().keyCode);
}

INSTANTIATE_TEST_SUITE_P(
    Recorded, DisplayTest,
    ::testing::Values(
        DisplayRow{"order_is_command_shift_option_control", 0, 0x1E0000, u"a", u"⌘⇧⌥⌃A", 0x1E0000},
        DisplayRow{"no_characters_gives_the_key_name", 126, 0x40000, u"", u"⌃↑", 0x40000},
        DisplayRow{"function_key_gives_its_label", 111, 0x80000, u"", u"⌥F12", 0x80000},
        DisplayRow{"caps_lock_and_function_flags_dropped", 9, 0x10000 | 0x800000 | 0x100000, u"v", u"⌘V", 0x100000},
        DisplayRow{"shifted_symbol_kept", 18, 0x120000, u"!", u"⌘⇧!", 0x120000}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(HotKeyManagerTest, code_of_no_key_is_saved_and_shown_but_not_registered)
{
    auto manager = makeManager();
    manager->setComboFrom(KeyDownEvent{52, ModifierFlags::kCommand, QString()});
    EXPECT_EQ(manager->combo()->display, QStringLiteral("⌘#52"));
    EXPECT_EQ(stored()->keyCode, 52u);
    EXPECT_TRUE(service.grabs().empty());
    EXPECT_EQ(manager->hotKey(), nullptr);
}

TEST_F(HotKeyManagerTest, refused_combination_stays_saved_and_shown)
{
    service.refuse(40, 2304);
    auto manager = makeManager();
    manager->setComboFrom(KeyDownEvent{40, 0x180000, QStringLiteral("k")});
    EXPECT_EQ(stored()->display, QStringLiteral("⌘⌥K"));
    EXPECT_NE(manager->hotKey(), nullptr);
    EXPECT_TRUE(service.grabs().empty());
}

TEST_F(HotKeyManagerTest, empty_combo_saves_nothing_and_registers_nothing)
{
    auto manager = makeManager();
    manager->setCombo(std::nullopt);
    EXPECT_EQ(stored(), KeyComboDTO::defaultCombo());
    EXPECT_TRUE(service.grabs().empty());
}

TEST_F(HotKeyManagerTest, toggle_runs_on_the_replaced_shortcut_only)
{
    auto manager = makeManager();
    manager->setComboFrom(KeyDownEvent{40, 0x180000, QStringLiteral("k")});
    EXPECT_EQ(service.press(9, 768), Service::kEventNotHandledErr);
    EXPECT_EQ(toggles, 0);
}

} // namespace
