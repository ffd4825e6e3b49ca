#include "pastetarget.h"

#include "e2esteps.h"
#include "patience.h"
#include "runningapp.h"

PasteTarget::PasteTarget(const QString &program, Platform platform, const QString &terminalAppId)
    : m_program(program), m_platform(platform), m_terminalAppId(terminalAppId)
{
}

PasteTarget::~PasteTarget()
{
    m_process.kill();
    m_process.waitForFinished(3000);
}

bool PasteTarget::start()
{
    QStringList args{outFile()};
    if (!m_terminalAppId.isEmpty())
        args.append(QStringLiteral("--terminal=") + m_terminalAppId);
    if (m_platform == Platform::Wayland) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
        m_process.setProcessEnvironment(env);
    }
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(m_program, args);
    QByteArray line;
    const bool ready = waitUntil([&] {
        line += m_process.readAllStandardOutput();
        return line.startsWith("READY") && line.contains('\n');
    }, 8000);
    if (!ready || m_platform == Platform::Wayland)
        return ready;
    m_window = QString::fromLatin1(line.mid(6).trimmed());
    return activate();
}

bool PasteTarget::activate()
{
    return waitUntil([&] {
        if (activeWindow() == m_window)
            return true;
        xdotool(QStringLiteral("windowactivate ") + m_window);
        return false;
    }, 8000);
}

QString PasteTarget::received() const { return readTextFile(outFile()); }
