#pragma once

#include <functional>
#include <memory>

#include "model/clipboarditem.h"
#include "store/capturesource.h"

class ActiveWindow;
class Clipboard;
class Clock;
class InputSynthesizer;
class QObject;

// The composition root's part for capture and paste-back on X11: builds the
// backends (alive for the whole run), the clipboard watcher to hand to the
// store, and installs PasteBack::shared(), which is created on first use and
// reaches the store through ClipboardStoreInjector. File thumbnails reach the
// store the same way, on the main thread.
namespace CapturePasteWiring {

struct Parts
{
    std::unique_ptr<CaptureSource> watcher;
    // Puts a clip on the clipboard as paste-back would, marked as our own
    // (never captured). False when there was nothing to write.
    std::function<bool(const ClipboardItem &)> writeClipboard;
    // Whether the paste keys can be synthesised (XTEST present).
    std::function<bool()> isTrusted;
    // The desktop's bell.
    std::function<void()> beep;
};

// Services the session provides natively (on Wayland); each one left null
// is served by X11. They must outlive the program's run.
struct NativeServices
{
    Clipboard *clipboard = nullptr;
    ActiveWindow *activeWindow = nullptr;
    InputSynthesizer *input = nullptr;
};

// `parent` owns the QObjects built here; `clock` must outlive them.
Parts build(QObject *parent, Clock &clock, const NativeServices &native = {});

} // namespace CapturePasteWiring
