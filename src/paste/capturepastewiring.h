#pragma once

#include <functional>
#include <memory>

#include <QByteArray>
#include <QUuid>

#include "model/clipboarditem.h"
#include "store/capturesource.h"

class ActiveWindow;
class Beeper;
class Clipboard;
class Clock;
class FileIcons;
class InputSynthesizer;
class QObject;

// The composition root's part for capture and paste-back: wires the platform
// services it is given into the clipboard watcher to hand to the store. It
// makes no backend itself.
namespace CapturePasteWiring {

// The platform services capture and paste-back use; each must outlive
// everything built from it.
struct Services
{
    Clipboard &clipboard;
    ActiveWindow &activeWindow;
    InputSynthesizer &input;
    Beeper &beeper;
    FileIcons &fileIcons;
};

struct Parts
{
    std::unique_ptr<CaptureSource> watcher;
    // Puts a clip on the clipboard as paste-back would, marked as our own
    // (never captured). False when there was nothing to write.
    std::function<bool(const ClipboardItem &)> writeClipboard;
    // Whether the paste keys can be synthesised.
    std::function<bool()> isTrusted;
    // The desktop's bell.
    std::function<void()> beep;
};

// Receives a copied file's thumbnail (PNG) for the clip `id`, on the main
// thread, once the clip is stored; the store's updateThumbnail().
using ThumbnailSink = std::function<void(const QUuid &id, const QByteArray &png)>;

// `parent` owns the capture objects the watcher calls, so it must outlive
// the watcher (and the store the watcher is handed to); `clock` and the
// services must outlive both. `thumbnails` may be called until `parent` goes.
Parts build(QObject *parent, Clock &clock, const Services &services, ThumbnailSink thumbnails);

} // namespace CapturePasteWiring
