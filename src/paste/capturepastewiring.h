#pragma once

#include <functional>
#include <memory>

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
// services it is given into the clipboard watcher to hand to the store. File
// thumbnails reach the store through ClipboardStoreInjector, on the main
// thread. It makes no backend itself.
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

// `parent` owns the capture objects the watcher calls, so it must outlive
// the watcher (and the store the watcher is handed to); `clock` and the
// services must outlive both.
Parts build(QObject *parent, Clock &clock, const Services &services);

} // namespace CapturePasteWiring
