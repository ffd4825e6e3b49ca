#pragma once

#include <functional>
#include <optional>

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>

#include "model/clipboarditem.h"

#include "cards/previewwindow.h"

// Previews one clip in our preview window. The clip's content is written to a
// fixed file per kind in the temporary folder ("Bramblet_Preview.txt/.rtf",
// "Bramblet_URL.webloc", "Bramblet_Image.png", "Bramblet_File.<ext|dat>",
// "Bramblet_Unknown.txt"), or, for a copied file that still exists, the file
// itself is shown. The file we wrote is removed when the preview closes or a
// new one replaces it; a copied file is never removed. The preview window
// takes the keyboard focus while shown; Space or Escape in it closes it.
// A large picture (more than CardThumbnails::kInlinePixels, or a content
// read from the history file) is read, decoded and written out on a worker
// thread: the window shows it when it is ready, and a newer show() or a
// close() in the meantime discards it. Main thread only.
class PreviewHelper final : public QObject
{
    Q_OBJECT

public:
    // Preview files go into `tempDir` (must exist).
    explicit PreviewHelper(const QString &tempDir, QObject *parent = nullptr);
    // Removes a preview file of ours still in place.
    ~PreviewHelper() override;

    // Opens the preview of `item`, or refreshes it when already shown.
    void show(const ClipboardItem &item);
    // Closes the preview and removes its file; does nothing (not even the
    // clean-up) when the preview is not shown.
    void close();
    // The overlay's Space key: close() when shown (or being prepared), else
    // show(item).
    void toggle(const ClipboardItem &item);
    bool isVisible() const;
    // A picture is being prepared on a worker for the next show.
    bool isPreparing() const { return m_preparing; }
    // Workers still running, the overtaken ones included (for tests).
    int workersRunning() const { return m_workers; }

    // Where the preview opens from (the overlay window's frame, in screen
    // coordinates); an empty rectangle at the origin when there is none.
    void setSourceFrameProvider(std::function<QRect()> provider);

    // --- what the window shows ---
    std::optional<ClipboardItem> currentItem() const { return m_currentItem; }
    // The file being previewed, if any.
    std::optional<QString> tempPath() const { return m_tempPath; }
    // 1 while a clip is set, else 0.
    int numberOfPreviewItems() const { return m_currentItem ? 1 : 0; }
    // The preview window (created on first show); for tests and placement.
    PreviewWindow *window() const { return m_window; }

    // The file show() writes for `item` (full path), whether or not it exists.
    QString previewFilePath(const ClipboardItem &item) const;

signals:
    void visibilityChanged(bool visible);

private:
    // What the worker makes of an image clip: the file written and the
    // picture for the window.
    struct PreparedImage {
        std::optional<QString> path;
        QImage picture;
    };
    static PreparedImage prepareImage(const Payload &raw, const QString &path);
    void present(const ClipboardItem &item);
    std::optional<QString> preparePreviewFile(const ClipboardItem &item);
    void cleanUp();
    QRect sourceFrame() const;

    QString m_tempDir;
    std::optional<ClipboardItem> m_currentItem;
    std::optional<QString> m_tempPath;
    bool m_tempIsOurs = false; // we wrote m_tempPath (a copied file is never ours)
    QImage m_decoded; // an image clip's picture, from preparing its file to loading the window
    std::function<QRect()> m_sourceFrame;
    QPointer<PreviewWindow> m_window;
    quint64 m_request = 0; // bumped by show() and close(): a stale worker result is dropped
    bool m_preparing = false;
    int m_workers = 0;
};
