#include "capturepastewiring.h"

#include <QGuiApplication>

#include "capture/clipboardcapture.h"
#include "capture/clipboardwatcher.h"
#include "paste/clipcontentbuilder.h"
#include "platform/beeper.h"
#include "platform/clipboard.h"
#include "platform/clock.h"
#include "platform/inputsynthesizer.h"
#include "platform/logger.h"

namespace CapturePasteWiring {

Parts build(QObject *parent, Clock &clock, const Services &services, ThumbnailSink thumbnails)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        Log::info(QStringLiteral("Watcher: not on X11 (%1); active window and paste keys unavailable")
                      .arg(QGuiApplication::platformName()));

    Clipboard *clipboard = &services.clipboard;
    auto *capture = new ClipboardCapture(services.activeWindow, clock, services.fileIcons, parent);
    capture->setThumbnailSink(std::move(thumbnails));

    auto watcher = std::make_unique<ClipboardWatcher>(*clipboard, clock, [capture, clipboard] {
        return capture->captureItem(*clipboard);
    });
    // Used when the clipboard reports its changes; the poll above otherwise.
    watcher->setOfferCapture(&ClipboardCapture::typesToRead,
                             [capture](const ClipboardOffer &offer, ClipboardCapture::Done done) {
                                 capture->captureOffer(offer, std::move(done));
                             });
    // The program that owned the clipboard quit: put its content back, as
    // our own write, so a paste elsewhere still finds it.
    watcher->setOnOwnerGone([clipboard](const ClipboardItem &item) {
        const ClipContentBuilder::Result result = ClipContentBuilder::build(item);
        if (result.content.isEmpty())
            return;
        clipboard->write(result.content);
        Log::info(QStringLiteral("Watcher: clipboard kept after its owner quit (%1)").arg(clipKindRawValue(item.kind)));
    });

    Parts parts;
    parts.watcher = std::move(watcher);
    parts.writeClipboard = [clipboard](const ClipboardItem &item) {
        const ClipContentBuilder::Result result = ClipContentBuilder::build(item);
        if (result.content.isEmpty())
            return false;
        clipboard->write(result.content);
        return true;
    };
    InputSynthesizer *input = &services.input;
    Beeper *beeper = &services.beeper;
    parts.isTrusted = [input] { return input->isTrusted(); };
    parts.beep = [beeper] { beeper->beep(); };
    return parts;
}

} // namespace CapturePasteWiring
