#pragma once

#include <optional>

#include <QObject>

#include "capture/filethumbnailer.h"
#include "model/clipboarditem.h"

class ActiveWindow;
class Clipboard;
class Clock;
class FileIcons;

// Turns the clipboard's current content into at most one new clip, reading in
// this order and stopping at the first found: files (text/uri-list of file://
// URLs, x-special/gnome-copied-files), an image (any type Qt decodes, stored
// as TIFF), a URL (text/uri-list, text/x-moz-url), RTF (text/rtf,
// text/richtext, application/rtf), plain text. Only the types that order
// needs are requested. Content marked as our own write, content a password
// manager marks as secret, and content with none of these types give nothing.
// A file clip gets its thumbnail later, through the thumbnail sink.
// Main thread only.
class ClipboardCapture final : public QObject
{
    Q_OBJECT

public:
    static constexpr int kPreviewCharacters = 500;

    // The collaborators must outlive this object.
    ClipboardCapture(ActiveWindow &activeWindow, Clock &clock, FileIcons &icons, QObject *parent = nullptr);
    ~ClipboardCapture() override;

    std::optional<ClipboardItem> captureItem(const Clipboard &clipboard);

    // Receives (clip id, PNG) for copied files, on the main thread.
    void setThumbnailSink(FileThumbnailer::Sink sink);
    FileThumbnailer &thumbnailer() { return m_thumbnailer; }

private:
    ActiveWindow &m_activeWindow;
    Clock &m_clock;
    FileThumbnailer m_thumbnailer;
};
