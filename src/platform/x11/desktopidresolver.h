#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// Maps a window's WM_CLASS to the id of the desktop file that launches the
// program ("org.gnome.Terminal" for class "Gnome-terminal"), searching the
// applications folders of XDG_DATA_HOME and XDG_DATA_DIRS once, on first use.
// Main thread only.
class DesktopIdResolver final
{
public:
    // `dataDirs` empty: the XDG data folders of the environment.
    explicit DesktopIdResolver(QStringList dataDirs = {});

    // The desktop-file id (without ".desktop") for this class and instance;
    // empty when no desktop file matches.
    QString resolve(const QString &wmClass, const QString &wmInstance);

private:
    void load();

    QStringList m_dataDirs;
    bool m_loaded = false;
    QHash<QString, QString> m_byStartupClass; // lower-case StartupWMClass -> id
    QHash<QString, QString> m_byId;           // lower-case id -> id
    QHash<QString, QString> m_byLastSegment;  // lower-case last id segment -> id
};
