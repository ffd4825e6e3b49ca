#include "desktopidresolver.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStandardPaths>

DesktopIdResolver::DesktopIdResolver(QStringList dataDirs) : m_dataDirs(std::move(dataDirs)) {}

void DesktopIdResolver::load()
{
    m_loaded = true;
    QStringList dirs = m_dataDirs;
    if (dirs.isEmpty()) {
        for (const QString &dir : QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation))
            dirs.append(dir);
    } else {
        for (QString &dir : dirs)
            dir += QStringLiteral("/applications");
    }
    // Earlier folders win, as in the XDG lookup order.
    for (const QString &dir : std::as_const(dirs)) {
        QDirIterator it(dir, {QStringLiteral("*.desktop")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            // Desktop-file ids of files in subfolders join the path with '-'.
            QString id = QDir(dir).relativeFilePath(path);
            id.chop(int(sizeof(".desktop")) - 1);
            id.replace(QLatin1Char('/'), QLatin1Char('-'));
            const QString lower = id.toLower();
            if (m_byId.contains(lower))
                continue;
            m_byId.insert(lower, id);
            const QString last = lower.section(QLatin1Char('.'), -1);
            if (!m_byLastSegment.contains(last))
                m_byLastSegment.insert(last, id);

            QFile file(path);
            if (!file.open(QIODevice::ReadOnly) || file.size() > 256 * 1024)
                continue;
            bool inEntry = false;
            while (!file.atEnd()) {
                const QByteArray line = file.readLine().trimmed();
                if (line.startsWith('[')) {
                    inEntry = line == "[Desktop Entry]";
                    continue;
                }
                if (inEntry && line.startsWith("StartupWMClass=")) {
                    const QString cls = QString::fromUtf8(line.mid(15)).trimmed().toLower();
                    if (!cls.isEmpty() && !m_byStartupClass.contains(cls))
                        m_byStartupClass.insert(cls, id);
                    break;
                }
            }
        }
    }
}

QString DesktopIdResolver::resolve(const QString &wmClass, const QString &wmInstance)
{
    if (!m_loaded)
        load();
    const QString cls = wmClass.toLower();
    const QString inst = wmInstance.toLower();
    for (const QString &key : {cls, inst}) {
        if (!key.isEmpty() && m_byStartupClass.contains(key))
            return m_byStartupClass.value(key);
    }
    for (const QString &key : {cls, inst}) {
        if (!key.isEmpty() && m_byId.contains(key))
            return m_byId.value(key);
    }
    for (const QString &key : {cls, inst}) {
        if (!key.isEmpty() && m_byLastSegment.contains(key))
            return m_byLastSegment.value(key);
    }
    return QString();
}
