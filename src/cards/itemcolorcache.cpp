#include "itemcolorcache.h"

#include <QImage>

#include "appiconcolorcache.h"
#include "cardthumbnails.h"
#include "colorsampling.h"
#include "model/clipboarditem.h"

ItemColorCache::ItemColorCache(AppIconColorCache &icons, CardThumbnails &pictures)
    : m_icons(icons)
    , m_pictures(pictures)
{
}

ItemColorCache &ItemColorCache::shared()
{
    static auto *cache = new ItemColorCache(AppIconColorCache::shared(), CardThumbnails::shared());
    return *cache;
}

SrgbColor ItemColorCache::headerColor(const ClipboardItem &item)
{
    if (auto it = m_headerByItem.constFind(item.id); it != m_headerByItem.constEnd())
        return *it;

    auto colourOf = [](const QImage &image) -> std::optional<SrgbColor> {
        if (auto c = ColorSampling::dominantHueColor(image))
            return c;
        return ColorSampling::averageColor(image);
    };

    std::optional<SrgbColor> c;
    QImage source;
    if (item.thumbnailPNG)
        source = QImage::fromData(*item.thumbnailPNG);
    if (source.isNull() && item.kind == ClipKind::Image) {
        // The card's own picture: the stored image is never decoded at full
        // size on this thread. While it is being decoded the header takes the
        // kind's colour, not remembered, and the real one once it is ready.
        const std::optional<QImage> picture = m_pictures.picture(item);
        if (!picture)
            return ColorSampling::adjustedColor(ColorSampling::kindFallbackColor(item.kind), 1.1, 1.0);
        source = *picture;
    }
    if (!source.isNull())
        c = colourOf(source);
    if (!c) {
        if (auto icon = m_icons.sourceAppIcon(item))
            c = colourOf(*icon);
    }
    if (!c)
        c = ColorSampling::kindFallbackColor(item.kind);

    const SrgbColor header = ColorSampling::adjustedColor(*c, 1.1, 1.0);
    m_headerByItem.insert(item.id, header);
    return header;
}
