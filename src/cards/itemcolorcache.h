#pragma once

#include <QHash>
#include <QUuid>

#include "cards/srgbcolor.h"

class AppIconColorCache;
struct ClipboardItem;

// Header colours by clip id, kept for the whole run: computed once per id
// (from the clip's thumbnail or image, else its application's icon, else
// the kind's colour, then saturated × 1.1) and never recomputed, even when
// the clip later changes. Main thread only.
class ItemColorCache final
{
public:
    explicit ItemColorCache(AppIconColorCache &icons);

    // The process-wide cache over AppIconColorCache::shared().
    static ItemColorCache &shared();

    // Never fails: the chain ends in the kind's fallback colour.
    SrgbColor headerColor(const ClipboardItem &item);

    const QHash<QUuid, SrgbColor> &headerByItem() const { return m_headerByItem; }

private:
    AppIconColorCache &m_icons;
    QHash<QUuid, SrgbColor> m_headerByItem;
};
