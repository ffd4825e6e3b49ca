#pragma once

#include <QHash>
#include <QUuid>

#include "cards/srgbcolor.h"

class AppIconColorCache;
class CardThumbnails;
struct ClipboardItem;

// Header colours by clip id, kept for the whole run: computed once per id
// (from the clip's thumbnail or its card picture, else its application's
// icon, else the kind's colour, then saturated × 1.1) and never recomputed,
// even when the clip later changes. While an image clip's card picture is
// still being decoded, the kind's colour is answered and not remembered.
// Main thread only.
class ItemColorCache final
{
public:
    ItemColorCache(AppIconColorCache &icons, CardThumbnails &pictures);

    // The process-wide cache over AppIconColorCache::shared() and
    // CardThumbnails::shared().
    static ItemColorCache &shared();

    // Never fails: the chain ends in the kind's fallback colour.
    SrgbColor headerColor(const ClipboardItem &item);

    const QHash<QUuid, SrgbColor> &headerByItem() const { return m_headerByItem; }

private:
    AppIconColorCache &m_icons;
    CardThumbnails &m_pictures;
    QHash<QUuid, SrgbColor> m_headerByItem;
};
