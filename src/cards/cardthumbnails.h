#pragma once

#include <optional>

#include <QCache>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QSize>
#include <QString>
#include <QUuid>

struct ClipboardItem;

// The pictures image clips are drawn from on their cards: each clip's stored
// image decoded once, at card size, and kept. A picture of up to
// kInlinePixels is decoded on the spot; a larger one (a 4K screenshot, say)
// on a worker thread, so painting never waits for it: until it is ready the
// card shows a placeholder, then pictureReady() asks for a repaint. The size
// is read from the image header first; where the decoder can scale while
// decoding (JPEG), it does. Main thread only (the decoding itself is
// thread-safe).
class CardThumbnails final : public QObject
{
    Q_OBJECT

public:
    // The picture covers this many pixels (a 300×170 preview area at a pixel
    // ratio of 2), never enlarged; the card scales it to its area.
    static constexpr QSize kCoverBox{600, 340};
    static constexpr qint64 kInlinePixels = 1024 * 1024;

    explicit CardThumbnails(QObject *parent = nullptr);
    ~CardThumbnails() override;

    // The process-wide set; created on first use, never destroyed.
    static CardThumbnails &shared();

    // The clip's picture (from its raw bytes); a null image when they do not
    // decode; nothing while a worker is decoding it.
    std::optional<QImage> picture(const ClipboardItem &item);

    // `bytes` decoded to cover kCoverBox; null when undecodable or larger
    // than the program accepts. Thread-safe.
    static QImage decode(const QByteArray &bytes);

    // Pictures being decoded on workers (for tests).
    int pendingCount() const { return int(m_pending.size()); }

signals:
    // A picture decoded on a worker is ready: cards showing `id` repaint.
    void pictureReady(const QUuid &id);

private:
    QCache<QString, QImage> m_cache; // cost in KiB
    QSet<QString> m_pending;
};
