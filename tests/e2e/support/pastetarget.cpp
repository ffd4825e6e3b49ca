#include "pastetarget.h"

#include <QTest>

#include "e2esteps.h"
#include "patience.h"

PasteTarget::PasteTarget(const QString &program) : m_program(program) {}

PasteTarget::~PasteTarget() { stop(); }

bool PasteTarget::start()
{
    m_process.start(m_program, {outFile()});
    if (!m_process.waitForStarted(5000))
        return false;
    QByteArray line;
    const bool ready = waitUntil([&] {
        line += m_process.readAllStandardOutput();
        return line.startsWith("READY ");
    }, 5000);
    if (!ready)
        return false;
    m_window = QString::fromLatin1(line.mid(6).trimmed());
    return activate();
}

bool PasteTarget::activate()
{
    return waitUntil([&] {
        if (activeWindow() == m_window)
            return true;
        xdotool({QStringLiteral("windowactivate"), m_window});
        return false;
    }, 8000);
}

void PasteTarget::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(3000);
}

QString PasteTarget::received() const { return readTextFile(outFile()); }
