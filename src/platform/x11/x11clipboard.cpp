#include "x11clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "platform/logger.h"
#include "platform/x11/x11selectionreader.h"

X11Clipboard::X11Clipboard(QObject *parent) : QObject(parent)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    connect(clipboard, &QClipboard::changed, this, [this](QClipboard::Mode mode) {
        if (mode == QClipboard::Clipboard)
            ++m_changeCount;
    });
}

// The reader's thread is joined before the object goes: no offer is queued
// to a dead receiver.
X11Clipboard::~X11Clipboard() = default;

QStringList X11Clipboard::formats() const
{
    const QMimeData *mime = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    return mime ? mime->formats() : QStringList();
}

std::optional<QByteArray> X11Clipboard::data(const QString &mimeType) const
{
    const QMimeData *mime = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    // hasFormat() answers from the cached target list; data() for a type the
    // owner does not offer would cost a round trip and a timeout.
    if (!mime || !mime->hasFormat(mimeType))
        return std::nullopt;
    return mime->data(mimeType);
}

bool X11Clipboard::holdsOwnWrite() const
{
    return formats().contains(QLatin1String(kOwnWriteMimeType));
}

void X11Clipboard::write(const ClipboardContent &content)
{
    auto *mime = new QMimeData;
    for (const auto &entry : content.entries)
        mime->setData(entry.first, entry.second);
    if (!content.image.isNull())
        mime->setImageData(content.image);
    mime->setData(QString::fromLatin1(kOwnWriteMimeType), QByteArray("1"));
    // QClipboard takes ownership of `mime`.
    QGuiApplication::clipboard()->setMimeData(mime, QClipboard::Clipboard);
}

bool X11Clipboard::watchChanges(TypeChooser choose, OfferHandler onOffer)
{
    if (m_reader)
        return false;
    auto deliver = [this, onOffer = std::move(onOffer)](ClipboardOffer offer) {
        QMetaObject::invokeMethod(this, [onOffer, offer = std::move(offer)] { onOffer(offer); }, Qt::QueuedConnection);
    };
    auto log = [this](const QString &line) {
        QMetaObject::invokeMethod(this, [line] { Log::info(line); }, Qt::QueuedConnection);
    };
    m_reader = std::make_unique<X11SelectionReader>(std::move(choose), std::move(deliver), std::move(log));
    if (m_reader->start())
        return true;
    m_reader.reset();
    return false;
}
