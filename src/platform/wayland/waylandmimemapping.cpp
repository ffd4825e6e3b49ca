#include "waylandmimemapping.h"

#include <QBuffer>
#include <QImageWriter>

#include "platform/clipboard.h"

namespace WaylandMimeMapping {

namespace {

const QString kTextPlain = QStringLiteral("text/plain");
const QString kTextUtf8 = QStringLiteral("text/plain;charset=utf-8");
// X11 target names that bridged or older owners offer for text, best first.
const QStringList kX11TextTargets = {QStringLiteral("UTF8_STRING"), QStringLiteral("STRING"), QStringLiteral("TEXT"),
                                     QStringLiteral("COMPOUND_TEXT")};

bool isUtf8Text(const QString &type)
{
    return type.compare(kTextUtf8, Qt::CaseInsensitive) == 0
           || type.compare(QStringLiteral("text/plain; charset=utf-8"), Qt::CaseInsensitive) == 0;
}

} // namespace

Presented present(const QStringList &wireTypes)
{
    Presented out;
    auto add = [&out](const QString &presented, const QString &wire) {
        if (out.wireType.contains(presented))
            return;
        out.formats.append(presented);
        out.wireType.insert(presented, wire);
    };
    QString utf8Wire;
    for (const QString &type : wireTypes) {
        if (kX11TextTargets.contains(type))
            continue;
        if (isUtf8Text(type)) {
            add(kTextUtf8, type);
            if (utf8Wire.isEmpty())
                utf8Wire = type;
            continue;
        }
        add(type, type);
    }
    if (!out.wireType.contains(kTextPlain)) {
        // COMPOUND_TEXT alone is an encoding we cannot decode: not text for us.
        QString wire = utf8Wire;
        for (const QString &target : kX11TextTargets.first(3)) {
            if (wire.isEmpty() && wireTypes.contains(target))
                wire = target;
        }
        if (!wire.isEmpty())
            add(kTextPlain, wire);
    }
    return out;
}

QList<QPair<QString, QByteArray>> offeredEntries(const ClipboardContent &content)
{
    QList<QPair<QString, QByteArray>> out;
    if (content.isEmpty())
        return out;
    QStringList seen;
    auto add = [&](const QString &type, const QByteArray &bytes) {
        if (seen.contains(type))
            return;
        seen.append(type);
        out.append({type, bytes});
    };
    for (const auto &entry : content.entries)
        add(entry.first, entry.second);

    // Text readers ask for different names: GTK and Qt for the charset form,
    // older programs for text/plain, the X11 bridge for UTF8_STRING.
    for (const auto &entry : content.entries) {
        if (entry.first == kTextPlain || isUtf8Text(entry.first)) {
            add(kTextUtf8, entry.second);
            add(kTextPlain, entry.second);
            add(QStringLiteral("UTF8_STRING"), entry.second);
            break;
        }
    }
    if (!content.image.isNull() && !seen.contains(QStringLiteral("image/png"))) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "png");
        if (writer.write(content.image))
            add(QStringLiteral("image/png"), png);
    }
    add(QString::fromLatin1(Clipboard::kOwnWriteMimeType), QByteArray("1"));
    return out;
}

} // namespace WaylandMimeMapping
