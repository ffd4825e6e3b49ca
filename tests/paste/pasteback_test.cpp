// Paste-back on the fake platform: what goes on the clipboard by kind, the
// wait for the target window, the chord, the permission refusal, and the
// store's suppression around our own write.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>

#include "capture/clipboardwatcher.h"
#include "paste/pasteback.h"
#include "paste/terminalclasses.h"
#include "platform/clipboard.h"
#include "platform/fake/fakeactivewindow.h"
#include "platform/fake/fakebeeper.h"
#include "platform/fake/fakeclipboard.h"
#include "platform/fake/fakeclock.h"
#include "platform/fake/fakeinputsynthesizer.h"
#include "platform/fake/fakesoundplayer.h"
#include "platform/userdefaults.h"
#include "store/clipboardstore.h"
#include "store/historyfiles.h"
#include "support/logcapture.h"
#include "support/memoryhistoryfiles.h"

namespace {

ClipboardItem clip(ClipKind kind, const QByteArray &raw, const QString &uti)
{
    ClipboardItem item;
    item.id = QUuid::createUuid();
    item.kind = kind;
    item.raw = raw;
    item.dataUTI = uti;
    return item;
}

WindowRef window(quint32 id, const QString &cls, bool own = false)
{
    WindowRef w;
    w.id = id;
    w.appId = cls;
    w.wmClass = cls;
    w.wmInstance = cls.toLower();
    w.isOwn = own;
    return w;
}

QByteArray pngBytes(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return out;
}

const QString kPlain = QStringLiteral("text/plain");
const QString kMarker = QString::fromLatin1(Clipboard::kOwnWriteMimeType);

class PasteBackTest : public ::testing::Test
{
protected:
    PasteBackTest()
        : files(tmp.path()), defaults(tmp.path() + QStringLiteral("/d.conf")),
          store(files, clock, defaults, sound),
          paste(store, clipboard, activeWindow, input, beeper, clock)
    {
        ownPanel = window(1, QStringLiteral("bramblet"), true);
        editor = window(42, QStringLiteral("Gedit"));
        activeWindow.setFrontmost(ownPanel);
        paste.setHooks({[this] { ++hides; }, [this] { return target; }});
        target = editor;
    }

    QTemporaryDir tmp;
    MemoryHistoryFiles files; // empty history
    UserDefaults defaults;
    FakeClock clock;
    FakeSoundPlayer sound;
    ClipboardStore store;
    FakeClipboard clipboard;
    FakeActiveWindow activeWindow;
    FakeInputSynthesizer input;
    FakeBeeper beeper;
    PasteBack paste;
    WindowRef ownPanel;
    WindowRef editor;
    std::optional<WindowRef> target;
    int hides = 0;
    LogCapture log;
};

TEST_F(PasteBackTest, text_puts_one_plain_text_entry_and_sends_one_ctrl_v)
{
    paste.paste(clip(ClipKind::Text, "Bonjour", QStringLiteral("public.plain-text")));
    ASSERT_EQ(clipboard.writes().size(), 1);
    const ClipboardContent written = clipboard.writes().first();
    EXPECT_EQ(written.entries, (QList<QPair<QString, QByteArray>>{{kPlain, QByteArray("Bonjour")}}));
    EXPECT_TRUE(written.image.isNull());
    EXPECT_EQ(input.sent, QList<PasteChord>{PasteChord::CtrlV});
    EXPECT_TRUE(clipboard.holdsOwnWrite());
    EXPECT_TRUE(log.contains(QStringLiteral("Paste: kind=text bytes=7")));
    EXPECT_TRUE(log.lines(Log::Level::Info).contains(QStringLiteral("Paste: SEND Ctrl+V")));
    EXPECT_EQ(hides, 1);
}

TEST_F(PasteBackTest, invalid_utf8_text_is_written_as_bytes_under_its_type)
{
    paste.paste(clip(ClipKind::Text, QByteArray("\xFF", 1), QStringLiteral("public.plain-text")));
    EXPECT_EQ(clipboard.writes().first().entries,
              (QList<QPair<QString, QByteArray>>{{kPlain, QByteArray("\xFF", 1)}}));
}

TEST_F(PasteBackTest, truncated_utf8_sequence_is_written_as_bytes)
{
    paste.paste(clip(ClipKind::Url, QByteArray("caf\xE9"), QStringLiteral("public.url")));
    EXPECT_EQ(clipboard.writes().first().entries,
              (QList<QPair<QString, QByteArray>>{{QStringLiteral("text/uri-list"), QByteArray("caf\xE9")}}));
}

TEST_F(PasteBackTest, invalid_utf8_under_an_unknown_identifier_uses_it_as_the_type)
{
    paste.paste(clip(ClipKind::Unknown, QByteArray("\xC3\x28", 2), QStringLiteral("com.example.private")));
    EXPECT_EQ(clipboard.writes().first().entries.first().first, QStringLiteral("com.example.private"));
}

TEST_F(PasteBackTest, file_clip_pastes_its_url_text)
{
    ClipboardItem item = clip(ClipKind::FileURL, "file:///tmp/a%20b.txt", QStringLiteral("public.file-url"));
    paste.paste(item);
    EXPECT_EQ(clipboard.writes().first().entries,
              (QList<QPair<QString, QByteArray>>{{kPlain, QByteArray("file:///tmp/a%20b.txt")}}));
}

TEST_F(PasteBackTest, rtf_pastes_plain_text_and_logs_its_character_count)
{
    paste.paste(clip(ClipKind::Rtf, "{\\rtf1\\ansi {\\b Gras} et normal}", QStringLiteral("public.rtf")));
    EXPECT_EQ(clipboard.writes().first().entries,
              (QList<QPair<QString, QByteArray>>{{kPlain, QByteArray("Gras et normal")}}));
    EXPECT_TRUE(log.contains(QStringLiteral("Paste: RTF converted to plain text (14 chars)")));
}

TEST_F(PasteBackTest, rtf_that_is_not_rtf_pastes_its_bytes_as_text)
{
    paste.paste(clip(ClipKind::Rtf, "just text", QStringLiteral("public.rtf")));
    EXPECT_EQ(clipboard.writes().first().entries,
              (QList<QPair<QString, QByteArray>>{{kPlain, QByteArray("just text")}}));
    EXPECT_TRUE(log.lines(Log::Level::Error).contains(QStringLiteral("Paste: RTF parsing failed, using fallback")));
}

TEST_F(PasteBackTest, image_is_written_as_a_picture)
{
    paste.paste(clip(ClipKind::Image, pngBytes(7, 5), QStringLiteral("public.tiff")));
    ASSERT_EQ(clipboard.writes().size(), 1);
    EXPECT_EQ(clipboard.writes().first().image.size(), QSize(7, 5));
    EXPECT_EQ(input.sent.size(), 1);
}

TEST_F(PasteBackTest, corrupt_image_leaves_the_clipboard_empty_and_still_pastes)
{
    paste.paste(clip(ClipKind::Image, "not an image", QStringLiteral("public.tiff")));
    ASSERT_EQ(clipboard.writes().size(), 1);
    EXPECT_TRUE(clipboard.writes().first().isEmpty());
    EXPECT_EQ(clipboard.formats(), QStringList{kMarker});
    EXPECT_EQ(input.sent.size(), 1);
}

// Without synthetic input the clip is still written (marked as ours) so the
// user can paste it by hand as the prompt says; no keys are sent.
TEST_F(PasteBackTest, without_permission_writes_the_clip_prompts_and_beeps_but_sends_no_keys)
{
    input.trusted = false;
    clipboard.copyFromOtherProgram({{kPlain, QByteArray("before")}});
    paste.paste(clip(ClipKind::Text, "x", QStringLiteral("public.plain-text")));
    EXPECT_EQ(input.prompts, 1);
    EXPECT_EQ(beeper.beeps, 1);
    ASSERT_EQ(clipboard.writes().size(), 1);
    EXPECT_EQ(clipboard.data(kPlain), QByteArray("x"));
    EXPECT_TRUE(clipboard.formats().contains(kMarker));
    EXPECT_TRUE(input.sent.isEmpty());
    EXPECT_TRUE(log.lines(Log::Level::Error).contains(QStringLiteral("Paste: input synthesis not allowed -> prompt")));
    // The suppression belongs to this write and lapses if the watcher never sees it.
    EXPECT_TRUE(store.isCaptureSuppressed());
    clock.advance(ClipboardStore::kSuppressLapseSeconds + 0.1);
    EXPECT_FALSE(store.shouldIgnore(5));
}

TEST_F(PasteBackTest, target_already_frontmost_sends_at_once_with_one_check)
{
    paste.paste(clip(ClipKind::Text, "a", QStringLiteral("public.plain-text")));
    EXPECT_EQ(activeWindow.activations, QList<WindowRef>{editor});
    EXPECT_EQ(input.sent.size(), 1);
    EXPECT_EQ(log.matching(QStringLiteral("Paste: frontmost=")),
              QStringList{QStringLiteral("Paste: frontmost=Gedit retries=8")});
}

TEST_F(PasteBackTest, waits_for_the_target_then_sends)
{
    activeWindow.activationIsDeferred = true;
    paste.paste(clip(ClipKind::Text, "a", QStringLiteral("public.plain-text")));
    EXPECT_TRUE(input.sent.isEmpty());
    clock.advance(0.08 * 3);
    EXPECT_TRUE(input.sent.isEmpty());
    activeWindow.setFrontmost(editor);
    clock.advance(0.08);
    EXPECT_EQ(input.sent.size(), 1);
    EXPECT_EQ(log.matching(QStringLiteral("Paste: frontmost=")).size(), 5);
}

TEST_F(PasteBackTest, gives_up_after_eight_retries_and_sends_anyway)
{
    activeWindow.activationIsDeferred = true;
    paste.paste(clip(ClipKind::Text, "a", QStringLiteral("public.plain-text")));
    clock.advance(0.08 * 7);
    EXPECT_TRUE(input.sent.isEmpty());
    clock.advance(0.08);
    EXPECT_EQ(input.sent.size(), 1);
    EXPECT_EQ(log.matching(QStringLiteral("Paste: frontmost=")).last(),
              QStringLiteral("Paste: frontmost=bramblet retries=0"));
    EXPECT_TRUE(log.lines(Log::Level::Error).contains(QStringLiteral("Paste: retries exhausted -> sendPaste")));
    clock.advance(5.0);
    EXPECT_EQ(input.sent.size(), 1);
}

TEST_F(PasteBackTest, without_a_remembered_window_no_activation_and_sends_once_we_are_not_in_front)
{
    target.reset();
    paste.paste(clip(ClipKind::Text, "a", QStringLiteral("public.plain-text")));
    EXPECT_TRUE(activeWindow.activations.isEmpty());
    EXPECT_TRUE(input.sent.isEmpty()); // our panel is still frontmost
    activeWindow.setFrontmost(std::nullopt);
    clock.advance(0.08);
    EXPECT_EQ(input.sent.size(), 1);
    EXPECT_TRUE(log.contains(QStringLiteral("Paste: frontmost=nil retries=7")));
}

TEST_F(PasteBackTest, terminal_gets_ctrl_shift_v)
{
    target = window(7, QStringLiteral("Gnome-terminal"));
    paste.paste(clip(ClipKind::Text, "ls", QStringLiteral("public.plain-text")));
    EXPECT_EQ(input.sent, QList<PasteChord>{PasteChord::CtrlShiftV});
    EXPECT_TRUE(log.lines(Log::Level::Info).contains(QStringLiteral("Paste: SEND Ctrl+Shift+V")));
}

TEST_F(PasteBackTest, our_write_is_not_captured_and_a_later_real_copy_is)
{
    auto watcherOwned = std::make_unique<ClipboardWatcher>(clipboard, clock, [this]() -> std::optional<ClipboardItem> {
        if (clipboard.holdsOwnWrite())
            return std::nullopt;
        return clip(ClipKind::Text, clipboard.data(kPlain).value_or(QByteArray()), QStringLiteral("public.plain-text"));
    });
    ClipboardStore watched(files, clock, defaults, sound, std::move(watcherOwned));
    PasteBack pb(watched, clipboard, activeWindow, input, beeper, clock);
    pb.setHooks({{}, [this] { return target; }});

    watched.suppressNextCapture();
    clock.advance(0.12);
    pb.paste(clip(ClipKind::Text, "from history", QStringLiteral("public.plain-text")));
    clock.advance(1.0);
    EXPECT_TRUE(watched.items().isEmpty());
    EXPECT_FALSE(watched.isCaptureSuppressed());

    clipboard.copyFromOtherProgram({{kPlain, QByteArray("user copy")}});
    clock.advance(1.0);
    ASSERT_EQ(watched.items().size(), 1);
    EXPECT_EQ(watched.items().first().raw, QByteArray("user copy"));
}

// Regression: our write landed inside the watcher's absorption window, so the
// one-shot flag stayed set and swallowed the next real copy.
TEST_F(PasteBackTest, flag_outliving_an_absorbed_write_does_not_swallow_the_next_copy)
{
    auto watcherOwned = std::make_unique<ClipboardWatcher>(clipboard, clock, [this]() -> std::optional<ClipboardItem> {
        if (clipboard.holdsOwnWrite())
            return std::nullopt;
        return clip(ClipKind::Text, clipboard.data(kPlain).value_or(QByteArray()), QStringLiteral("public.plain-text"));
    });
    ClipboardWatcher *w = watcherOwned.get();
    ClipboardStore watched(files, clock, defaults, sound, std::move(watcherOwned));
    PasteBack pb(watched, clipboard, activeWindow, input, beeper, clock);
    pb.setHooks({{}, [this] { return target; }});

    clipboard.copyFromOtherProgram({{kPlain, QByteArray("first")}});
    clock.advance(0.5); // accepted
    clock.setNow(clock.now() + 0.05);
    pb.paste(clip(ClipKind::Text, "pasted", QStringLiteral("public.plain-text")));
    w->tick(); // absorbed within 0.25 s: the store is never asked
    clock.advance(0.3);
    // The pending capture found our write and took nothing.
    EXPECT_TRUE(watched.items().isEmpty());
    EXPECT_TRUE(watched.isCaptureSuppressed());

    clipboard.copyFromOtherProgram({{kPlain, QByteArray("real copy")}});
    clock.advance(0.5);
    ASSERT_EQ(watched.items().size(), 1);
    EXPECT_EQ(watched.items().first().raw, QByteArray("real copy"));
}

struct TerminalRow
{
    const char *name;
    const char *wmClass;
    const char *wmInstance;
    bool terminal;
};

class TerminalClassTest : public ::testing::TestWithParam<TerminalRow>
{
};

TEST_P(TerminalClassTest, classifies)
{
    const TerminalRow row = GetParam();
    EXPECT_EQ(TerminalClasses::isTerminal(QString::fromUtf8(row.wmClass), QString::fromUtf8(row.wmInstance)), row.terminal);
}

INSTANTIATE_TEST_SUITE_P(Classes, TerminalClassTest,
    ::testing::Values(TerminalRow{"gnome_terminal", "Gnome-terminal", "gnome-terminal-server", true},
                      TerminalRow{"konsole", "konsole", "konsole", true},
                      TerminalRow{"xfce4_terminal", "Xfce4-terminal", "xfce4-terminal", true},
                      TerminalRow{"kitty", "kitty", "kitty", true},
                      TerminalRow{"alacritty", "Alacritty", "Alacritty", true},
                      TerminalRow{"tilix_by_instance", "Whatever", "tilix", true},
                      TerminalRow{"text_editor", "Gedit", "gedit", false},
                      TerminalRow{"browser", "firefox", "Navigator", false},
                      TerminalRow{"empty_class", "", "", false}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
