#include "clipkind.h"

QString clipKindRawValue(ClipKind kind)
{
    switch (kind) {
    case ClipKind::Text: return QStringLiteral("text");
    case ClipKind::Rtf: return QStringLiteral("rtf");
    case ClipKind::Url: return QStringLiteral("url");
    case ClipKind::Image: return QStringLiteral("image");
    case ClipKind::FileURL: return QStringLiteral("fileURL");
    case ClipKind::Unknown: return QStringLiteral("unknown");
    }
    return QStringLiteral("unknown");
}

std::optional<ClipKind> clipKindFromRawValue(QStringView raw)
{
    static constexpr ClipKind all[] = {ClipKind::Text, ClipKind::Rtf, ClipKind::Url,
                                       ClipKind::Image, ClipKind::FileURL, ClipKind::Unknown};
    for (ClipKind k : all) {
        if (raw == clipKindRawValue(k))
            return k;
    }
    return std::nullopt;
}
