#include <gtest/gtest.h>

#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

#include "hotkey/hotkeymanager.h"
#include "hotkey/hotkeyscontroller.h"
#include "hotkey/keydownevent.h"
#include "hotkey/shortcutrecorder.h"
#include "platform/fake/fakeglobalshortcutservice.h"
#include "platform/userdefaults.h"

namespace {

// Native scan codes as the xcb platform reports them: evdev code + 8.
constexpr quint32 kScanQ = 16 + 8, kScanV = 47 + 8, kScanK = 37 + 8, kScan1 = 2 + 8, kScanKp1 = 79 + 8;
constexpr quint32 kScanUp = 103 + 8, kScanEsc = 1 + 8, kScanCaps = 58 + 8, kScanSuperL = 125 + 8;
constexpr quint32 kScanF1 = 59 + 8, kScanUnmapped = 200;
// X modifier state bits for Caps Lock and Num Lock (Mod2).
constexpr quint32 kXLock = 0x02, kXNumLock = 0x10;

class ShortcutRecorderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(recorder);
        layout->addWidget(field);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        field->setFocus();
    }

    // Sends a press to the focused field, as the platform would.
    void press(int key, Qt::KeyboardModifiers mods, quint32 scanCode, quint32 nativeMods = 0,
               const QString &text = QString())
    {
        QKeyEvent event(QEvent::KeyPress, key, mods, scanCode, 0, nativeMods, text);
        QApplication::sendEvent(field, &event);
    }

    QTemporaryDir dir;
    UserDefaults defaults{dir.path() + QStringLiteral("/Bramblet.conf")};
    FakeGlobalShortcutService service;
    HotKeysController controller{service};
    HotKeyManager manager{controller, defaults, [] {}};
    QWidget window;
    ShortcutRecorder *recorder = new ShortcutRecorder(manager, &window);
    QLineEdit *field = new QLineEdit(&window);
};

TEST_F(ShortcutRecorderTest, titles_follow_the_state_and_a_recorded_press_ends_recording)
{
    QSignalSpy recordingChanged(recorder, &ShortcutRecorder::recordingChanged);
    ShortcutRecorder other(manager);
    EXPECT_EQ(recorder->text(), QStringLiteral("⌘⇧V"));
    recorder->click();
    EXPECT_EQ(recorder->text(), QStringLiteral("Appuie sur les touches…"));
    press(Qt::Key_K, Qt::AltModifier | Qt::MetaModifier, kScanK);
    EXPECT_FALSE(recorder->isRecording());
    EXPECT_EQ(recordingChanged.count(), 2);
    EXPECT_EQ(other.text(), QStringLiteral("⌘⌥K")); // both show the shared manager's shortcut
    EXPECT_NE(service.grabFor(40, 2304), nullptr);
    manager.setCombo(std::nullopt);
    EXPECT_EQ(recorder->text(), QStringLiteral("Définir…"));
}

// Clicking again, hiding or destroying the button ends recording with the
// old shortcut, and presses reach the window again; while recording, even
// the application's own shortcuts are swallowed.
TEST_F(ShortcutRecorderTest, every_way_out_of_recording_keeps_the_old_shortcut)
{
    int triggered = 0;
    auto *action = new QAction(&window);
    action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    window.addAction(action);
    QObject::connect(action, &QAction::triggered, [&] { ++triggered; });
    recorder->click();
    recorder->click();
    EXPECT_FALSE(recorder->isRecording());
    QTest::keyClick(field, Qt::Key_K);
    EXPECT_EQ(field->text(), QStringLiteral("k"));

    recorder->click();
    window.hide();
    EXPECT_FALSE(recorder->isRecording());
    window.show();
    recorder->click();
    delete recorder;
    QTest::keyClick(field, Qt::Key_K, Qt::MetaModifier);
    EXPECT_EQ(*manager.combo(), KeyComboDTO::defaultCombo());
    EXPECT_EQ(triggered, 0);
    QTest::keyClick(field, Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(triggered, 1);

    ShortcutRecorder again(manager, &window);
    again.show();
    again.click();
    QTest::keyClick(field, Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(triggered, 1) << "recording swallows application shortcuts";
    EXPECT_EQ(manager.combo()->display, QStringLiteral("⌃K"));
}

struct PressRow {
    const char *name;
    int key;
    Qt::KeyboardModifiers mods;
    quint32 scanCode;
    quint32 nativeMods;
    const char16_t *text;
    uint32_t keyCode; // what it records; 0 with no flags: nothing, recording goes on
    uint64_t flags;
    const char16_t *display;
};

class RecordingRuleTest : public ShortcutRecorderTest, public ::testing::WithParamInterface<PressRow> {};

TEST_P(RecordingRuleTest, press_while_recording)
{
    const PressRow &row = GetParam();
    recorder->click();
    press(row.key, row.mods, row.scanCode, row.nativeMods, QString::fromUtf16(row.text));
    EXPECT_TRUE(field->text().isEmpty()) << "every press is consumed, recorded or not";
    const bool records = row.flags != 0;
    EXPECT_EQ(recorder->isRecording(), !records);
    const KeyComboDTO expected{row.keyCode, row.flags, QString::fromUtf16(row.display)};
    EXPECT_EQ(*manager.combo(), records ? expected : KeyComboDTO::defaultCombo());
}

constexpr auto kNo = Qt::NoModifier, kMeta = Qt::MetaModifier, kShift = Qt::ShiftModifier;
constexpr auto kCtrl = Qt::ControlModifier, kAlt = Qt::AltModifier;

INSTANTIATE_TEST_SUITE_P(
    Presses, RecordingRuleTest,
    ::testing::Values(
        PressRow{"plain_letter_ignored", Qt::Key_K, kNo, kScanK, 0, u"k", 0, 0, u""},
        PressRow{"escape_is_no_cancel_key", Qt::Key_Escape, kNo, kScanEsc, 0, u"\x1b", 0, 0, u""},
        PressRow{"caps_lock_key_with_shift_never_recorded", Qt::Key_CapsLock, kShift, kScanCaps, kXLock, u"", 0, 0, u""},
        PressRow{"super_alone_is_no_key_press", Qt::Key_Meta, kMeta, kScanSuperL, 0, u"", 0, 0, u""},
        PressRow{"letter_with_caps_lock_on_only_is_ignored", Qt::Key_K, kNo, kScanK, kXLock, u"K", 0, 0, u""},
        PressRow{"lock_states_add_no_flags", Qt::Key_V, kMeta | kShift, kScanV, 0x41 | kXLock | kXNumLock, u"V", 9,
                 0x120000, u"⌘⇧V"},
        PressRow{"keypad_digit_with_num_lock_keeps_only_control", Qt::Key_1, kCtrl | Qt::KeypadModifier, kScanKp1,
                 0x04 | kXNumLock, u"1", 83, 0x40000, u"⌃1"},
        PressRow{"shifted_digit_shows_its_symbol", Qt::Key_Exclam, kCtrl | kShift, kScan1, 0x05, u"!", 18, 0x60000,
                 u"⇧⌃!"},
        PressRow{"key_position_not_layout_letter", Qt::Key_A, kMeta, kScanQ, 0x40, u"a", 12, 0x100000, u"⌘A"},
        PressRow{"arrow_shows_its_symbol", Qt::Key_Up, kShift, kScanUp, 0x01, u"", 126, 0x20000, u"⇧↑"},
        PressRow{"function_key_shows_its_label", Qt::Key_F1, kAlt, kScanF1, 0x08, u"", 122, 0x80000, u"⌥F1"},
        PressRow{"key_without_characters_outside_the_table_shows_its_code", Qt::Key_unknown, kMeta, kScanUnmapped,
                 0x40, u"", KeyDownEvent::kUnpositionedKeyBase + kScanUnmapped, 0x100000, u"⌘#65736"},
        PressRow{"unpositioned_key_recorded_outside_the_table", Qt::Key_K, kMeta, kScanUnmapped, 0x40, u"k",
                 KeyDownEvent::kUnpositionedKeyBase + kScanUnmapped, 0x100000, u"⌘K"}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
