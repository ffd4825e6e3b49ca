#include "fakeclipboard.h"

QStringList FakeClipboard::formats() const
{
    QStringList out;
    for (const auto &entry : m_entries)
        out.append(entry.first);
    if (!m_image.isNull())
        out.append(QStringLiteral("image/png"));
    return out;
}

std::optional<QByteArray> FakeClipboard::data(const QString &mimeType) const
{
    m_reads.append(mimeType);
    for (const auto &entry : m_entries) {
        if (entry.first == mimeType)
            return entry.second;
    }
    return std::nullopt;
}

bool FakeClipboard::holdsOwnWrite() const
{
    return formats().contains(QLatin1String(kOwnWriteMimeType));
}

void FakeClipboard::write(const ClipboardContent &content)
{
    m_writes.append(content);
    m_entries = content.entries;
    m_entries.append({QString::fromLatin1(kOwnWriteMimeType), QByteArray()});
    m_image = content.image;
    ++m_changeCount;
    reportChange();
}

void FakeClipboard::copyFromOtherProgram(const Entries &entries)
{
    m_entries = entries;
    m_image = QImage();
    ++m_changeCount;
    reportChange();
}

void FakeClipboard::ownerQuits()
{
    m_entries.clear();
    m_image = QImage();
    ++m_changeCount;
    reportChange();
}

bool FakeClipboard::watchChanges(TypeChooser choose, OfferHandler onOffer)
{
    if (!m_eventsSupported)
        return false;
    m_choose = std::move(choose);
    m_onOffer = std::move(onOffer);
    return true;
}

void FakeClipboard::emitOffer(const ClipboardOffer &offer)
{
    if (m_onOffer)
        m_onOffer(offer);
}

void FakeClipboard::reportChange()
{
    if (!m_onOffer)
        return;
    ClipboardOffer offer;
    offer.formats = formats();
    const QStringList chosen = m_choose ? m_choose(offer.formats) : QStringList();
    for (const QString &type : chosen) {
        if (const auto bytes = data(type))
            offer.data.insert(type, *bytes);
    }
    m_onOffer(offer);
}
