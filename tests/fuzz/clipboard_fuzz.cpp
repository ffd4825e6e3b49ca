// The clipboard reader on whatever another program may offer: the input
// describes a clipboard (a list of MIME types, each with its bytes), which a
// fake clipboard serves to ClipboardCapture::captureItem, the entry point the
// watcher uses. Types come from a table of the ones the reader looks for
// (file lists, links, RTF, text, images, the password hint, our own marker)
// or are any text the input spells.
#include <cstddef>
#include <cstdint>

#include <fuzzer/FuzzedDataProvider.h>

#include <QCoreApplication>

#include "capture/clipboardcapture.h"
#include "capture/graphemes.h"
#include "fuzzsupport.h"
#include "platform/fake/fakeactivewindow.h"
#include "platform/fake/fakeclipboard.h"
#include "platform/fake/fakeclock.h"
#include "platform/fake/fakefileicons.h"

namespace {

const char *const kTypes[] = {
    "text/uri-list", "x-special/gnome-copied-files", "text/x-moz-url", "x-kde-passwordManagerHint",
    "text/rtf", "text/richtext", "application/rtf",
    "text/plain;charset=utf-8", "UTF8_STRING", "text/plain", "TEXT", "text/html",
    "image/png", "image/tiff", "image/bmp", "image/jpeg", "image/gif", "image/webp",
    "image/x-portable-pixmap", "image/svg+xml", "image/x-icon",
    Clipboard::kOwnWriteMimeType,
};
constexpr int kTypeCount = int(sizeof(kTypes) / sizeof(kTypes[0]));

struct World {
    FakeActiveWindow window;
    FakeClock clock;
    FakeFileIcons icons;
    ClipboardCapture capture{window, clock, icons};
};

World *g_world = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    Fuzz::quietLog();
    new QCoreApplication(*argc, *argv); // queued thumbnail hand-over needs an event loop
    g_world = new World;
    // Icons are drawn, not read: nothing of the input reaches them.
    g_world->icons.hasIcons = false;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    FakeClipboard::Entries entries;
    while (in.remaining_bytes() > 0 && entries.size() < 8) {
        const int pick = in.ConsumeIntegralInRange<int>(0, kTypeCount);
        const QString type = pick < kTypeCount ? QString::fromLatin1(kTypes[pick])
                                               : QString::fromStdString(in.ConsumeRandomLengthString(40));
        const std::string bytes = in.ConsumeRandomLengthString(in.remaining_bytes());
        entries.append({type, QByteArray(bytes.data(), qsizetype(bytes.size()))});
    }
    FakeClipboard clipboard;
    clipboard.copyFromOtherProgram(entries);
    if (in.remaining_bytes() == 0 && !entries.isEmpty() && (size % 2) != 0)
        g_world->window.setFrontmost(WindowRef{7, QStringLiteral("org.example.Editor"), {}, {}, false});
    else
        g_world->window.setFrontmost(std::nullopt);

    const std::optional<ClipboardItem> item = g_world->capture.captureItem(clipboard);
    g_world->capture.thumbnailer().waitForIdle();
    QCoreApplication::sendPostedEvents();
    if (!item)
        return 0;
    if (item->id.isNull())
        Fuzz::fail("a clip without an id");
    if (Graphemes::count(item->preview) > ClipboardCapture::kPreviewCharacters)
        Fuzz::fail("a preview longer than the limit", item->preview.toUtf8());
    switch (item->kind) {
    case ClipKind::FileURL:
        if (!item->fileURLString || !item->fileName || !item->fileExt || item->raw.isEmpty())
            Fuzz::fail("a file clip without its URL, name or extension", item->raw.bytes());
        break;
    case ClipKind::Image:
        if (item->raw.isEmpty())
            Fuzz::fail("an image clip without bytes");
        break;
    case ClipKind::Url:
    case ClipKind::Text:
        if (item->textCharCount.value_or(-1) != Graphemes::count(QString::fromUtf8(item->raw.bytes())))
            Fuzz::fail("a text clip whose length is not its text's", item->raw.bytes());
        break;
    default:
        break;
    }
    return 0;
}
