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
}

void FakeClipboard::copyFromOtherProgram(const Entries &entries)
{
    m_entries = entries;
    m_image = QImage();
    ++m_changeCount;
}

void FakeClipboard::ownerQuits()
{
    m_entries.clear();
    m_image = QImage();
    ++m_changeCount;
}
