#include "detachedsettingslauncher.h"

#include <QProcess>
#include <QStandardPaths>

#include "platform/logger.h"

bool DetachedSettingsLauncher::launch(const QStringList &command)
{
    if (command.isEmpty())
        return false;
    // Resolving first keeps a missing program from being reported as started.
    const QString program = QStandardPaths::findExecutable(command.first());
    if (program.isEmpty())
        return false;
    const bool started = QProcess::startDetached(program, command.mid(1));
    if (started)
        Log::info(QStringLiteral("Settings: opened ") + command.join(u' '));
    return started;
}
