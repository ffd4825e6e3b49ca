#include "cliptypes.h"

#include <QHash>

namespace ClipTypes {

QString mimeTypeForUti(const QString &uti)
{
    static const QHash<QString, QString> known = {
        {kPlainText, QStringLiteral("text/plain")},
        {QStringLiteral("public.utf8-plain-text"), QStringLiteral("text/plain;charset=utf-8")},
        {kRtf, QStringLiteral("text/rtf")},
        {kUrl, QStringLiteral("text/uri-list")},
        {kFileUrl, QStringLiteral("text/uri-list")},
        {kTiff, QStringLiteral("image/tiff")},
        {QStringLiteral("public.png"), QStringLiteral("image/png")},
        {QStringLiteral("public.jpeg"), QStringLiteral("image/jpeg")},
        {QStringLiteral("public.html"), QStringLiteral("text/html")},
    };
    return known.value(uti, uti.isEmpty() ? QStringLiteral("application/octet-stream") : uti);
}

} // namespace ClipTypes
