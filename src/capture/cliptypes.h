#pragma once

#include <QString>

// The type identifiers written to a clip's dataUTI, the same on every
// system, and the clipboard MIME type each stands for when written back.
namespace ClipTypes {

inline const QString kPlainText = QStringLiteral("public.plain-text");
inline const QString kRtf = QStringLiteral("public.rtf");
inline const QString kUrl = QStringLiteral("public.url");
inline const QString kFileUrl = QStringLiteral("public.file-url");
inline const QString kTiff = QStringLiteral("public.tiff");

// The MIME type under which raw bytes typed `uti` go on the clipboard.
// Unknown identifiers are used as the type name itself.
QString mimeTypeForUti(const QString &uti);

} // namespace ClipTypes
