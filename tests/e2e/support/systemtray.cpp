#include "systemtray.h"

#include <QRegularExpression>

#include "e2esteps.h"
#include "patience.h"
#include "runningapp.h"

SystemTray::~SystemTray()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    m_process.waitForFinished(3000);
}

bool SystemTray::start()
{
    m_process.start(QStringLiteral("trayer"), {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
                                               QStringLiteral("right"), QStringLiteral("--widthtype"), QStringLiteral("request"),
                                               QStringLiteral("--height"), QStringLiteral("28"), QStringLiteral("--transparent"),
                                               QStringLiteral("false")});
    if (!m_process.waitForStarted())
        return false;
    return waitUntil([] {
        QByteArray out;
        return xdotool({QStringLiteral("search"), QStringLiteral("--class"), QStringLiteral("trayer")}, &out) == 0;
    }, 5000);
}

std::optional<QPoint> SystemTray::iconCentre() const
{
    QByteArray ids;
    if (xdotool({QStringLiteral("search"), QStringLiteral("--class"), QStringLiteral("trayer")}, &ids) != 0)
        return std::nullopt;
    // xwininfo -children lines: "<id> "<name>": (...)  WxH+X+Y  +absX+absY".
    static const QRegularExpression child(QStringLiteral(R"((\d+)x(\d+)\+-?\d+\+-?\d+\s+\+(-?\d+)\+(-?\d+))"));
    for (const QByteArray &id : ids.split('\n')) {
        if (id.trimmed().isEmpty())
            continue;
        QByteArray tree;
        runTool(QStringLiteral("xwininfo"), {QStringLiteral("-children"), QStringLiteral("-id"), QString::fromLatin1(id.trimmed())}, &tree);
        for (const QString &line : QString::fromUtf8(tree).split(u'\n')) {
            if (!line.contains(QLatin1String("children")) && line.trimmed().startsWith(QLatin1String("0x"))) {
                const auto m = child.match(line);
                if (m.hasMatch() && m.captured(1).toInt() >= 16 && m.captured(2).toInt() >= 16)
                    return QPoint(m.captured(3).toInt() + m.captured(1).toInt() / 2,
                                  m.captured(4).toInt() + m.captured(2).toInt() / 2);
            }
        }
    }
    return std::nullopt;
}
