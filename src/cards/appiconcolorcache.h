#pragma once

#include <functional>
#include <optional>

#include <QHash>
#include <QImage>
#include <QString>

struct ClipboardItem;

// Application icons by application id, kept for the whole run (never
// evicted). An id whose application is not found is not remembered, so the
// lookup is tried again next time. Main thread only.
class AppIconColorCache final
{
public:
    using Lookup = std::function<std::optional<QImage>(const QString &appId)>;

    // `lookup` finds an installed application's icon (none when not installed).
    explicit AppIconColorCache(Lookup lookup);

    // The process-wide cache over the desktop entries and icon theme;
    // created on first use, never destroyed.
    static AppIconColorCache &shared();

    // The icon of the clip's source application; none without a
    // sourceBundleID or when the application is not installed.
    std::optional<QImage> sourceAppIcon(const ClipboardItem &item);
    std::optional<QImage> icon(const QString &appId);

    // What is cached (for tests).
    const QHash<QString, QImage> &iconCache() const { return m_iconCache; }

private:
    Lookup m_lookup;
    QHash<QString, QImage> m_iconCache;
};
