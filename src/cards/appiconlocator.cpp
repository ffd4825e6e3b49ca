#include "appiconlocator.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QImageReader>
#include <QStandardPaths>
#include <QTextStream>

namespace {

QStringList applicationDirs(const QStringList &dataDirs)
{
    QStringList out;
    for (const QString &d : dataDirs)
        out << QDir(d).filePath(QStringLiteral("applications"));
    return out;
}

// The [Desktop Entry] keys we need; other groups and localised keys ignored.
void readEntry(const QString &path, QString &icon, QString &wmClass, bool &hidden)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    QTextStream in(&f);
    bool inMain = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(u'[')) {
            inMain = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inMain)
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0)
            continue;
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        if (key == QLatin1String("Icon"))
            icon = value;
        else if (key == QLatin1String("StartupWMClass"))
            wmClass = value;
        else if (key == QLatin1String("Hidden")) // a deleted entry; NoDisplay ones still name real programs
            hidden = value == QLatin1String("true");
    }
}

} // namespace

AppIconLocator::AppIconLocator(QStringList dataDirs)
    : m_dataDirs(dataDirs.isEmpty() ? QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)
                                    : std::move(dataDirs))
{
}

void AppIconLocator::refreshIfChanged()
{
    bool changed = !m_built;
    for (const QString &dir : applicationDirs(m_dataDirs)) {
        const QDateTime stamp = QFileInfo(dir).lastModified();
        if (m_dirStamps.value(dir) != stamp) {
            m_dirStamps.insert(dir, stamp);
            changed = true;
        }
    }
    if (changed)
        rebuild();
}

void AppIconLocator::rebuild()
{
    m_byId.clear();
    m_byLowerKey.clear();
    m_built = true;
    // Earlier folders take precedence: only the first entry for an id counts.
    for (const QString &dir : applicationDirs(m_dataDirs)) {
        QDirIterator it(dir, {QStringLiteral("*.desktop")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            // Desktop-file ids turn sub-folders into dashes.
            QString id = QDir(dir).relativeFilePath(path);
            id.chop(int(qstrlen(".desktop")));
            id.replace(u'/', u'-');
            if (m_byId.contains(id))
                continue;
            QString icon, wmClass;
            bool hidden = false;
            readEntry(path, icon, wmClass, hidden);
            if (hidden)
                continue;
            const Entry entry{path, icon};
            m_byId.insert(id, entry);
            auto addKey = [&](const QString &key) {
                if (!key.isEmpty() && !m_byLowerKey.contains(key.toLower()))
                    m_byLowerKey.insert(key.toLower(), entry);
            };
            addKey(id);
            addKey(wmClass);
            addKey(id.section(u'.', -1));
        }
    }
}

std::optional<QString> AppIconLocator::desktopFileFor(const QString &appId)
{
    if (appId.trimmed().isEmpty())
        return std::nullopt;
    refreshIfChanged();
    QString id = appId.trimmed();
    if (id.endsWith(QLatin1String(".desktop")))
        id.chop(8);
    if (auto it = m_byId.constFind(id); it != m_byId.constEnd())
        return it->path;
    if (auto it = m_byLowerKey.constFind(id.toLower()); it != m_byLowerKey.constEnd())
        return it->path;
    return std::nullopt;
}

std::optional<QImage> AppIconLocator::iconFor(const QString &appId, int size)
{
    const auto file = desktopFileFor(appId);
    if (!file)
        return std::nullopt;
    QString id = appId.trimmed();
    if (id.endsWith(QLatin1String(".desktop")))
        id.chop(8);
    Entry entry = m_byId.value(id);
    if (entry.path.isEmpty())
        entry = m_byLowerKey.value(id.toLower());
    if (entry.icon.isEmpty())
        return std::nullopt;
    return loadIcon(entry.icon, size);
}

std::optional<QImage> AppIconLocator::loadIcon(const QString &iconName, int size) const
{
    auto readFile = [size](const QString &path) -> std::optional<QImage> {
        QImageReader reader(path);
        if (reader.format() == "svg" || path.endsWith(QLatin1String(".svg")))
            reader.setScaledSize(QSize(size, size));
        QImage img = reader.read();
        if (img.isNull())
            return std::nullopt;
        if (img.width() > size || img.height() > size)
            img = img.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        return img;
    };

    if (QDir::isAbsolutePath(iconName))
        return readFile(iconName);

    // Our own data directories first (they may be private to a test or a
    // sandbox the desktop's theme engine does not know), largest size first.
    static const char *const kSizes[] = {"scalable", "512x512", "256x256", "128x128", "96x96",
                                         "64x64",    "48x48",   "32x32",   "24x24",   "16x16"};
    QStringList themes;
    if (!QIcon::themeName().isEmpty())
        themes << QIcon::themeName();
    themes << QStringLiteral("hicolor");
    for (const QString &dataDir : m_dataDirs) {
        for (const QString &theme : themes) {
            for (const char *sz : kSizes) {
                const QString base = QStringLiteral("%1/icons/%2/%3/apps/%4").arg(dataDir, theme, QLatin1String(sz), iconName);
                for (const char *ext : {".svg", ".png", ".xpm"}) {
                    const QString path = base + QLatin1String(ext);
                    if (QFileInfo::exists(path)) {
                        if (auto img = readFile(path))
                            return img;
                    }
                }
            }
        }
        for (const char *ext : {".png", ".svg", ".xpm"}) {
            const QString path = QStringLiteral("%1/pixmaps/%2%3").arg(dataDir, iconName, QLatin1String(ext));
            if (QFileInfo::exists(path)) {
                if (auto img = readFile(path))
                    return img;
            }
        }
    }
    const QIcon themed = QIcon::fromTheme(iconName);
    if (!themed.isNull()) {
        const QImage img = themed.pixmap(QSize(size, size)).toImage();
        if (!img.isNull())
            return img;
    }
    return std::nullopt;
}
