#include "waylandtarget.h"

#include <QProcessEnvironment>
#include <QTest>

#include "patience.h"
#include "support/e2esteps.h"
#include "support/runningapp.h"

int wlCopy(const QStringList &args, const QByteArray &input)
{
    return runTool(QStringLiteral("wl-copy"), args, nullptr, input);
}

WaylandTarget::WaylandTarget(const QString &program, const QString &terminalAppId)
{
    QStringList args{m_dir.path() + QStringLiteral("/received.txt")};
    if (!terminalAppId.isEmpty())
        args.append(QStringLiteral("--terminal=") + terminalAppId);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    m_process.setProcessEnvironment(env);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(program, args);
}

WaylandTarget::~WaylandTarget()
{
    m_process.kill();
    m_process.waitForFinished(3000);
}

bool WaylandTarget::waitReady()
{
    return waitUntil([&] {
        m_output += m_process.readAllStandardOutput();
        return m_output.contains("READY");
    }, 8000);
}

QString WaylandTarget::received() const
{
    return readTextFile(m_dir.path() + QStringLiteral("/received.txt"));
}
