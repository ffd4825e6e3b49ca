#include "appiconcolorcache.h"

#include "appiconlocator.h"
#include "model/clipboarditem.h"

AppIconColorCache::AppIconColorCache(Lookup lookup)
    : m_lookup(std::move(lookup))
{
}

AppIconColorCache &AppIconColorCache::shared()
{
    static auto *locator = new AppIconLocator();
    static auto *cache = new AppIconColorCache([](const QString &id) { return locator->iconFor(id); });
    return *cache;
}

std::optional<QImage> AppIconColorCache::sourceAppIcon(const ClipboardItem &item)
{
    if (!item.sourceBundleID || item.sourceBundleID->isEmpty())
        return std::nullopt;
    return icon(*item.sourceBundleID);
}

std::optional<QImage> AppIconColorCache::icon(const QString &appId)
{
    if (auto it = m_iconCache.constFind(appId); it != m_iconCache.constEnd())
        return *it;
    std::optional<QImage> found = m_lookup ? m_lookup(appId) : std::nullopt;
    if (!found || found->isNull())
        return std::nullopt;
    m_iconCache.insert(appId, *found);
    return found;
}
