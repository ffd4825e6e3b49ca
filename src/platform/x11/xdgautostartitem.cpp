#include "xdgautostartitem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "platform/appid.h"
#include "platform/logger.h"

namespace {

// Desktop-entry Exec quoting: reserved characters force double quotes, inside
// which ", `, $ and \ are escaped.
QString quoteExec(const QString &path)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool needsQuotes = false;
    for (QChar c : path)
        needsQuotes = needsQuotes || reserved.contains(c);
    if (!needsQuotes)
        return path;
    QString out = QStringLiteral("\"");
    for (QChar c : path) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            out += u'\\';
        out += c;
    }
    out += u'"';
    // '%' introduces field codes even inside quotes.
    return out.replace(QLatin1Char('%'), QStringLiteral("%%"));
}

} // namespace

XdgAutostartItem::XdgAutostartItem(QString executable, QString configHome)
    : m_executable(std::move(executable))
    , m_configHome(std::move(configHome))
{
}

QString XdgAutostartItem::entryPath() const
{
    QString base = m_configHome;
    if (base.isEmpty())
        base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/autostart/") + QLatin1String(kAppId) + QStringLiteral(".desktop");
}

QByteArray XdgAutostartItem::entryText(const QString &executable)
{
    QString exec = quoteExec(executable);
    if (!exec.startsWith(u'"'))
        exec.replace(QLatin1Char('%'), QStringLiteral("%%"));
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=%1\n"
                                        "Comment=Historique du presse-papiers\n"
                                        "Exec=%2\n"
                                        "Icon=%3\n"
                                        "Terminal=false\n"
                                        "X-GNOME-Autostart-enabled=true\n")
                             .arg(QLatin1String(kAppName), exec, QLatin1String(kAppId));
    return text.toUtf8();
}

bool XdgAutostartItem::isEnabled() const
{
    QFile file(entryPath());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (const QByteArray &line : lines) {
        if (line.trimmed() == "Hidden=true")
            return false;
    }
    return true;
}

bool XdgAutostartItem::setEnabled(bool enabled)
{
    const QString path = entryPath();
    if (!enabled) {
        if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
            return true;
        if (QFile::remove(path))
            return true;
        Log::error(QStringLiteral("Autostart: cannot remove ") + path);
        return false;
    }
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        Log::error(QStringLiteral("Autostart: cannot create ") + QFileInfo(path).absolutePath());
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(entryText(m_executable)) < 0 || !file.commit()) {
        Log::error(QStringLiteral("Autostart: cannot write ") + path + QStringLiteral(": ") + file.errorString());
        return false;
    }
    return true;
}
