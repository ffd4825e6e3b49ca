#pragma once

#include <optional>

#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QString>
#include <QStringList>

// Finds an application's icon by its identifier: a desktop-file id
// ("org.gnome.TextEditor") or an X11 WM_CLASS class ("Gnome-terminal",
// "firefox"). Reads the desktop entries under <data dir>/applications and
// resolves their Icon= through the icon theme, the hicolor folders and
// pixmaps. The index of desktop entries is rebuilt when an applications
// folder changes, so a program installed later is found. Main thread only.
class AppIconLocator final
{
public:
    // `dataDirs` in priority order; empty = the XDG data directories
    // ($XDG_DATA_HOME, then $XDG_DATA_DIRS).
    explicit AppIconLocator(QStringList dataDirs = {});

    // The desktop file that `appId` names, or none.
    std::optional<QString> desktopFileFor(const QString &appId);
    // The icon of that application, `size` pixels square at most; none when
    // no entry matches or its icon cannot be found or decoded.
    std::optional<QImage> iconFor(const QString &appId, int size = 256);

private:
    struct Entry
    {
        QString path;
        QString icon;
    };
    void refreshIfChanged();
    void rebuild();
    std::optional<QImage> loadIcon(const QString &iconName, int size) const;

    QStringList m_dataDirs;
    QHash<QString, QDateTime> m_dirStamps;
    QHash<QString, Entry> m_byId;        // exact desktop-file id
    QHash<QString, Entry> m_byLowerKey;  // lower-case id, StartupWMClass, last id component
    bool m_built = false;
};
