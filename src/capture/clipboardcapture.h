#pragma once

#include <functional>
#include <optional>

#include <QObject>
#include <QThreadPool>

#include "capture/filethumbnailer.h"
#include "capture/imageconversion.h"
#include "model/clipboarditem.h"

class ActiveWindow;
class Clipboard;
class Clock;
class FileIcons;
struct ClipboardOffer;

// Turns the clipboard's current content into at most one new clip, reading in
// this order and stopping at the first found: files (text/uri-list of file://
// URLs, x-special/gnome-copied-files), an image (any type Qt decodes, stored
// as TIFF), a URL (text/uri-list, text/x-moz-url), RTF (text/rtf,
// text/richtext, application/rtf), plain text. Only the types that order
// needs are requested. Content marked as our own write, content a password
// manager marks as secret, and content with none of these types give nothing.
// A file clip gets its thumbnail later, through the thumbnail sink.
// The same rules read the live clipboard (captureItem) or one owner's offer
// already read off the main thread (captureOffer). Main thread API.
class ClipboardCapture final : public QObject
{
    Q_OBJECT

public:
    static constexpr int kPreviewCharacters = 500;
    // An offer carrying an image, or more bytes than this, is turned into a
    // clip on a worker thread so the main thread is never held by it.
    static constexpr qsizetype kInlineBytes = 256 * 1024;

    using Done = std::function<void(std::optional<ClipboardItem> item)>;
    // Must be thread-safe: it runs on a worker.
    using ImageConverter = std::function<ImageConversion::Result(const QByteArray &bytes, const QString &mimeType)>;

    // The collaborators must outlive this object.
    ClipboardCapture(ActiveWindow &activeWindow, Clock &clock, FileIcons &icons, QObject *parent = nullptr);
    // Waits for conversions still running; their results are not delivered.
    ~ClipboardCapture() override;

    // Reads the live clipboard now (blocking while its owner answers).
    std::optional<ClipboardItem> captureItem(const Clipboard &clipboard);

    // The offered types the rules above need, at most one per kind (one
    // image type, one RTF type, one text type), plus the password manager's
    // hint; none for our own write. Thread-safe: a backend's type chooser.
    static QStringList typesToRead(const QStringList &offered);
    // Turns an offer into at most one clip and hands it to `done` on the main
    // thread: at once for small content, later for images and large content.
    // The clip's time and source window are taken now.
    void captureOffer(const ClipboardOffer &offer, Done done);

    // Replaces ImageConversion::toStoredTiff (tests hold a conversion back).
    void setImageConverter(ImageConverter convert) { m_convert = std::move(convert); }

    // Receives (clip id, PNG) for copied files, on the main thread.
    void setThumbnailSink(FileThumbnailer::Sink sink);
    FileThumbnailer &thumbnailer() { return m_thumbnailer; }

    // A clip made off the main thread with the lines it has to log there.
    struct Built;

private:
    ClipboardItem stamp() const;
    std::optional<ClipboardItem> finish(Built built);

    ActiveWindow &m_activeWindow;
    Clock &m_clock;
    FileThumbnailer m_thumbnailer;
    ImageConverter m_convert;
    QThreadPool m_pool;
};
