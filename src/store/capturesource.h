#pragma once

#include <functional>

#include "model/clipboarditem.h"

// What the store needs of the clipboard watcher it owns: two callbacks and a
// start. The capture layer implements it; the store never sees the clipboard.
class CaptureSource
{
public:
    virtual ~CaptureSource() = default;
    CaptureSource() = default;
    CaptureSource(const CaptureSource &) = delete;
    CaptureSource &operator=(const CaptureSource &) = delete;

    using NewItemHandler = std::function<void(const ClipboardItem &)>;
    using IgnoreHandler = std::function<bool(qint64 changeCount)>;

    virtual void setOnNewItem(NewItemHandler handler) = 0;
    virtual void setShouldIgnore(IgnoreHandler handler) = 0;
    // Begins watching; calling it again does nothing.
    virtual void start() = 0;
};
