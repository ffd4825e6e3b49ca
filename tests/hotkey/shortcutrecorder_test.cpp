#include <gtest/gtest.h>

#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
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

// The title follows the state. Clicking again, hiding or destroying the
// button ends recording with the old shortcut, and presses reach the window again; while recording, even
// the application's own shortcuts are swallowed.
TEST_F(ShortcutRecorderTest, every_way_out_of_recording_keeps_the_old_shortcut)
{
    int triggered = 0;
    auto *action = new QAction(&window);
    action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    window.addAction(action);
    QObject::connect(action, &QAction::triggered, [&] { ++triggered; });
    EXPECT_EQ(recorder->text(), QStringLiteral("⌘⇧V"));
    recorder->click();
    EXPECT_EQ(recorder->text(), QStringLiteral("Appuie sur les touches…"));
    recorder->click();
    EXPECT_FALSE(recorder->isRecording());
    EXPECT_EQ(recorder->text(), QStringLiteral("⌘⇧V"));
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
    manager.setCombo(std::nullopt);
    EXPECT_EQ(again.text(), QStringLiteral("Définir…"));
}

// Every press while recording is consumed; only a key with a modifier
// (locks aside) is recorded, by its position, with its display.
TEST_F(ShortcutRecorderTest, press_while_recording)
{
    constexpr auto kNo = Qt::NoModifier, kMeta = Qt::MetaModifier, kShift = Qt::ShiftModifier;
    constexpr auto kCtrl = Qt::ControlModifier, kAlt = Qt::AltModifier;
    constexpr uint32_t kUnpositioned = KeyDownEvent::kUnpositionedKeyBase + kScanUnmapped;
    const struct {
        const char *name;
        int key;
        Qt::KeyboardModifiers mods;
        quint32 scanCode, nativeMods;
        const char16_t *text;
        KeyComboDTO recorded; // no modifiers: nothing, recording goes on
    } rows[] = {
        {"plain_letter_ignored", Qt::Key_K, kNo, kScanK, 0, u"k", {}},
        {"escape_is_no_cancel_key", Qt::Key_Escape, kNo, kScanEsc, 0, u"\x1b", {}},
        {"caps_lock_key_with_shift_never_recorded", Qt::Key_CapsLock, kShift, kScanCaps, kXLock, u"", {}},
        {"super_alone_is_no_key_press", Qt::Key_Meta, kMeta, kScanSuperL, 0, u"", {}},
        {"letter_with_caps_lock_on_only_is_ignored", Qt::Key_K, kNo, kScanK, kXLock, u"K", {}},
        {"lock_states_add_no_flags", Qt::Key_V, kMeta | kShift, kScanV, 0x41 | kXLock | kXNumLock, u"V",
         {9, 0x120000, QStringLiteral("⌘⇧V")}},
        {"keypad_digit_with_num_lock_keeps_only_control", Qt::Key_1, kCtrl | Qt::KeypadModifier, kScanKp1,
         0x04 | kXNumLock, u"1", {83, 0x40000, QStringLiteral("⌃1")}},
        {"shifted_digit_shows_its_symbol", Qt::Key_Exclam, kCtrl | kShift, kScan1, 0x05, u"!",
         {18, 0x60000, QStringLiteral("⇧⌃!")}},
        {"key_position_not_layout_letter_and_every_modifier_in_order", Qt::Key_A, kMeta | kShift | kAlt | kCtrl, kScanQ,
         0x4D, u"A", {12, 0x1E0000, QStringLiteral("⌘⇧⌥⌃A")}},
        {"arrow_shows_its_symbol", Qt::Key_Up, kShift, kScanUp, 0x01, u"", {126, 0x20000, QStringLiteral("⇧↑")}},
        {"function_key_shows_its_label", Qt::Key_F1, kAlt, kScanF1, 0x08, u"", {122, 0x80000, QStringLiteral("⌥F1")}},
        {"key_without_characters_outside_the_table_shows_its_code", Qt::Key_unknown, kMeta, kScanUnmapped, 0x40, u"",
         {kUnpositioned, 0x100000, QStringLiteral("⌘#65736")}},
        {"unpositioned_key_recorded_outside_the_table", Qt::Key_K, kMeta, kScanUnmapped, 0x40, u"k",
         {kUnpositioned, 0x100000, QStringLiteral("⌘K")}}};
    for (const auto &row : rows) {
        manager.setCombo(KeyComboDTO::defaultCombo());
        if (!recorder->isRecording())
            recorder->click();
        press(row.key, row.mods, row.scanCode, row.nativeMods, QString::fromUtf16(row.text));
        EXPECT_TRUE(field->text().isEmpty()) << row.name;
        const bool records = row.recorded.modifiers != 0;
        EXPECT_EQ(recorder->isRecording(), !records) << row.name;
        EXPECT_EQ(*manager.combo(), records ? row.recorded : KeyComboDTO::defaultCombo()) << row.name;
    }
}

} // namespace
