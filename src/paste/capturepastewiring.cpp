#include "capturepastewiring.h"

#include <QGuiApplication>

#include "capture/clipboardcapture.h"
#include "capture/clipboardwatcher.h"
#include "paste/clipcontentbuilder.h"
#include "paste/pasteback.h"
#include "platform/clock.h"
#include "platform/logger.h"
#include "platform/x11/x11activewindow.h"
#include "platform/x11/x11beeper.h"
#include "platform/x11/x11clipboard.h"
#include "platform/x11/x11fileicons.h"
#include "platform/x11/x11inputsynthesizer.h"
#include "store/clipboardstore.h"

namespace CapturePasteWiring {

Parts build(QObject *parent, Clock &clock)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        Log::info(QStringLiteral("Watcher: not on X11 (%1); active window and paste keys unavailable")
                      .arg(QGuiApplication::platformName()));

    static auto *clipboard = new X11Clipboard(parent);
    static X11ActiveWindow activeWindow;
    static X11InputSynthesizer input;
    static X11Beeper beeper;
    static X11FileIcons icons;

    auto *capture = new ClipboardCapture(activeWindow, clock, icons, parent);
    capture->setThumbnailSink([](const QUuid &id, const QByteArray &png) {
        if (ClipboardStore *store = ClipboardStoreInjector::shared().store)
            store->updateThumbnail(id, png);
    });

    auto watcher = std::make_unique<ClipboardWatcher>(*clipboard, clock, [capture] {
        return capture->captureItem(*clipboard);
    });
    // Used when the clipboard reports its changes; the poll above otherwise.
    watcher->setOfferCapture(&ClipboardCapture::typesToRead,
                             [capture](const ClipboardOffer &offer, ClipboardCapture::Done done) {
                                 capture->captureOffer(offer, std::move(done));
                             });
    // The program that owned the clipboard quit: put its content back, as
    // our own write, so a paste elsewhere still finds it.
    watcher->setOnOwnerGone([](const ClipboardItem &item) {
        const ClipContentBuilder::Result result = ClipContentBuilder::build(item);
        if (result.content.isEmpty())
            return;
        clipboard->write(result.content);
        Log::info(QStringLiteral("Watcher: clipboard kept after its owner quit (%1)").arg(clipKindRawValue(item.kind)));
    });

    PasteBack::setSharedFactory([parent, &clock]() -> PasteBack * {
        ClipboardStore *store = ClipboardStoreInjector::shared().store;
        if (!store)
            return nullptr;
        return new PasteBack(*store, *clipboard, activeWindow, input, beeper, clock, parent);
    });

    Parts parts;
    parts.watcher = std::move(watcher);
    parts.writeClipboard = [](const ClipboardItem &item) {
        const ClipContentBuilder::Result result = ClipContentBuilder::build(item);
        if (result.content.isEmpty())
            return false;
        clipboard->write(result.content);
        return true;
    };
    parts.isTrusted = [] { return input.isTrusted(); };
    parts.beep = [] { beeper.beep(); };
    return parts;
}

} // namespace CapturePasteWiring
