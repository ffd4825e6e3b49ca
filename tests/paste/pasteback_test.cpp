// Paste-back on the fake platform: what goes on the clipboard by kind, the
// wait for the target window, the chord, and the store's suppression around
// our own write (without permission to send keys, see the end-to-end tests).
#include <gtest/gtest.h>

#include "capture/clipboardwatcher.h"
#include "paste/pasteback.h"
#include "paste/terminalclasses.h"
#include "platform/clipboard.h"
#include "platform/fake/fakeactivewindow.h"
#include "platform/fake/fakebeeper.h"
#include "platform/fake/fakeclipboard.h"
#include "platform/fake/fakeinputsynthesizer.h"
#include "support/logcapture.h"
#include "support/storefixture.h"

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
    return WindowRef{id, cls, cls, cls.toLower(), own};
}

const QString kPlain = QStringLiteral("text/plain");
const QString kMarker = QString::fromLatin1(Clipboard::kOwnWriteMimeType);

class PasteBackTest : public ::testing::Test, public StoreFixture
{
protected:
    PasteBackTest() : paste(makeStore({}), clipboard, activeWindow, input, beeper, clock)
    {
        activeWindow.setFrontmost(ownPanel);
        paste.setHooks({[this] { ++hides; }, [this] { return target; }});
    }

    FakeClipboard clipboard;
    FakeActiveWindow activeWindow;
    FakeInputSynthesizer input;
    FakeBeeper beeper;
    PasteBack paste;
    WindowRef ownPanel = window(1, QStringLiteral("bramblet"), true);
    WindowRef editor = window(42, QStringLiteral("Gedit"));
    std::optional<WindowRef> target = editor;
    int hides = 0;
    LogCapture log;
};

// What goes on the clipboard, by kind: text as it is (bytes kept when not
// UTF-8), files as their URL text, rich text as its plain text; marked as
// ours, after the panel hides and the target is activated (already in front
// here, so the chord goes at once).
struct WrittenRow
{
    const char *name;
    ClipKind kind;
    QByteArray raw;
    const char *uti;
    const char *type;
    QByteArray written;
};

class PasteWritten : public PasteBackTest, public ::testing::WithParamInterface<WrittenRow> {};

TEST_P(PasteWritten, is_the_entry_of_its_kind_then_one_ctrl_v)
{
    const WrittenRow &row = GetParam();
    paste.paste(clip(row.kind, row.raw, QString::fromUtf8(row.uti)));
    ASSERT_EQ(clipboard.writes().size(), 1);
    EXPECT_EQ(clipboard.writes().first().entries,
              (QList<QPair<QString, QByteArray>>{{QString::fromUtf8(row.type), row.written}}));
    EXPECT_TRUE(clipboard.holdsOwnWrite());
    EXPECT_EQ(hides, 1);
    EXPECT_EQ(activeWindow.activations, QList<WindowRef>{editor});
    EXPECT_EQ(input.sent, QList<PasteChord>{PasteChord::CtrlV});
}

INSTANTIATE_TEST_SUITE_P(Kinds, PasteWritten, ::testing::Values(
    WrittenRow{"text", ClipKind::Text, "Bonjour", "public.plain-text", "text/plain", "Bonjour"},
    WrittenRow{"truncated_utf8_link_as_bytes", ClipKind::Url, "caf\xE9", "public.url", "text/uri-list", "caf\xE9"},
    WrittenRow{"invalid_utf8_under_an_unknown_identifier_uses_it_as_the_type", ClipKind::Unknown, "\xC3\x28",
               "com.example.private", "com.example.private", "\xC3\x28"},
    WrittenRow{"file_as_its_url_text", ClipKind::FileURL, "file:///tmp/a%20b.txt", "public.file-url", "text/plain",
               "file:///tmp/a%20b.txt"},
    WrittenRow{"rtf_as_plain_text", ClipKind::Rtf, "{\\rtf1\\ansi {\\b Gras} et normal}", "public.rtf", "text/plain",
               "Gras et normal"},
    WrittenRow{"rtf_that_is_not_rtf_as_its_bytes", ClipKind::Rtf, "just text", "public.rtf", "text/plain", "just text"}),
    [](const auto &info) { return std::string(info.param.name); });

// A corrupt image leaves the clipboard empty but for our marker; the chord
// is still sent.
TEST_F(PasteBackTest, image_is_written_as_a_picture_and_a_corrupt_one_as_nothing)
{
    paste.paste(clip(ClipKind::Image, ClipSamples::png(7, 5, Qt::red), QStringLiteral("public.tiff")));
    paste.paste(clip(ClipKind::Image, "not an image", QStringLiteral("public.tiff")));
    ASSERT_EQ(clipboard.writes().size(), 2);
    EXPECT_EQ(clipboard.writes().first().image.size(), QSize(7, 5));
    EXPECT_TRUE(clipboard.writes().last().isEmpty());
    EXPECT_EQ(clipboard.formats(), QStringList{kMarker});
    EXPECT_EQ(input.sent.size(), 2);
}

// The chord waits, in steps of 80 ms, until the target is in front; after
// eight tries it is sent anyway, once. Without a remembered window nothing is
// activated and the chord goes once our panel is no longer in front.
TEST_F(PasteBackTest, waits_for_the_target_then_sends_and_gives_up_after_eight_tries)
{
    activeWindow.activationIsDeferred = true;
    paste.paste(clip(ClipKind::Text, "a", QStringLiteral("public.plain-text")));
    clock.advance(0.08 * 3);
    EXPECT_TRUE(input.sent.isEmpty());
    activeWindow.setFrontmost(editor);
    clock.advance(0.08);
    EXPECT_EQ(input.sent.size(), 1);

    activeWindow.setFrontmost(ownPanel);
    paste.paste(clip(ClipKind::Text, "b", QStringLiteral("public.plain-text")));
    clock.advance(0.08 * 7);
    EXPECT_EQ(input.sent.size(), 1);
    clock.advance(0.08);
    EXPECT_EQ(input.sent.size(), 2);
    clock.advance(5.0);
    EXPECT_EQ(input.sent.size(), 2);

    target.reset();
    activeWindow.activations.clear();
    paste.paste(clip(ClipKind::Text, "c", QStringLiteral("public.plain-text")));
    EXPECT_TRUE(activeWindow.activations.isEmpty());
    activeWindow.setFrontmost(std::nullopt);
    clock.advance(0.08);
    EXPECT_EQ(input.sent.size(), 3);
}

// Regression: our write landed inside the watcher's absorption window, so the
// one-shot flag stayed set and swallowed the next real copy. The store is fed
// by a watcher over the same clipboard, as the program runs.
TEST_F(PasteBackTest, flag_outliving_an_absorbed_write_does_not_swallow_the_next_copy)
{
    auto owned = std::make_unique<ClipboardWatcher>(clipboard, clock, [this]() -> std::optional<ClipboardItem> {
        if (clipboard.holdsOwnWrite())
            return std::nullopt;
        return clip(ClipKind::Text, clipboard.data(kPlain).value_or(QByteArray()), QStringLiteral("public.plain-text"));
    });
    ClipboardWatcher *watcher = owned.get();
    ClipboardStore watched(files, clock, defaults, player, std::move(owned));
    PasteBack pasteBack(watched, clipboard, activeWindow, input, beeper, clock);
    pasteBack.setHooks({{}, [this] { return target; }});

    clipboard.copyFromOtherProgram({{kPlain, QByteArray("first")}});
    clock.advance(0.5); // accepted
    clock.setNow(clock.now() + 0.05);
    pasteBack.paste(clip(ClipKind::Text, "pasted", QStringLiteral("public.plain-text")));
    watcher->tick(); // absorbed within 0.25 s: the store is never asked
    clock.advance(0.3);
    // The pending capture found our write and took nothing.
    EXPECT_TRUE(watched.items().isEmpty());
    EXPECT_TRUE(watched.isCaptureSuppressed());

    clipboard.copyFromOtherProgram({{kPlain, QByteArray("real copy")}});
    clock.advance(0.5);
    ASSERT_EQ(watched.items().size(), 1);
    EXPECT_EQ(watched.items().first().raw, QByteArray("real copy"));
}

// Terminals, known by their class or instance in any case, get Ctrl+Shift+V.
struct TerminalRow
{
    const char *name;
    const char *wmClass;
    const char *wmInstance;
    bool terminal;
};

class PasteChordTest : public PasteBackTest, public ::testing::WithParamInterface<TerminalRow> {};

TEST_P(PasteChordTest, follows_the_target_class)
{
    const TerminalRow row = GetParam();
    EXPECT_EQ(TerminalClasses::isTerminal(QString::fromUtf8(row.wmClass), QString::fromUtf8(row.wmInstance)), row.terminal);
    target->wmClass = QString::fromUtf8(row.wmClass);
    target->wmInstance = QString::fromUtf8(row.wmInstance);
    paste.paste(clip(ClipKind::Text, "ls", QStringLiteral("public.plain-text")));
    EXPECT_EQ(input.sent, QList<PasteChord>{row.terminal ? PasteChord::CtrlShiftV : PasteChord::CtrlV});
}

INSTANTIATE_TEST_SUITE_P(Classes, PasteChordTest,
    ::testing::Values(TerminalRow{"gnome_terminal", "Gnome-terminal", "gnome-terminal-server", true},
                      TerminalRow{"alacritty", "Alacritty", "Alacritty", true},
                      TerminalRow{"tilix_by_instance", "Whatever", "tilix", true},
                      TerminalRow{"text_editor", "Gedit", "gedit", false},
                      TerminalRow{"browser", "firefox", "Navigator", false},
                      TerminalRow{"empty_class", "", "", false}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
