#include "application.h"

#include <cstdio>
#include <memory>

#include <QApplication>
#include <QCoreApplication>
#include <QJsonObject>

#include "approot.h"
#include "clicommand.h"
#include "capture/imagelimits.h"
#include "instancechannel.h"
#include "instancereply.h"
#include "platform/appid.h"
#include "platform/logger.h"
#include "platform/systemclock.h"
#include "platform/userdefaults.h"
#include "terminationsignals.h"

namespace {

void print(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

// How long a client waits for the running instance: long when a live process
// holds the lock (it may still be starting), short when nothing seems to run.
int replyTimeoutMs(const QString &lockPath)
{
    return InstanceChannel::isLockHeld(lockPath) ? 8000 : 400;
}

int printReply(const std::optional<QJsonObject> &json)
{
    if (!json) {
        print(stderr, QStringLiteral("Bramblet n’est pas lancé. Lancez-le d’abord avec « bramblet ».\n"));
        return CliCommand::ExitNotRunning;
    }
    const InstanceReply reply = InstanceReply::fromJson(*json);
    print(stdout, reply.out);
    print(stderr, reply.err);
    return reply.exitCode;
}

// A command for the running instance: nothing of the GUI is built here.
int runClient(int argc, char **argv, const CliCommand &command)
{
    QCoreApplication app(argc, argv);
    const QString lockPath = InstanceChannel::defaultLockPath();
    return printReply(InstanceChannel::send(InstanceChannel::defaultSocketPath(), command.toRequest(),
                                            replyTimeoutMs(lockPath)));
}

// Qt's own diagnostics (no audio server, a lost display) are lines of our
// log like any other, so stderr carries nothing else.
void logQtMessage(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    const QString line = QStringLiteral("Qt: ") + message;
    switch (type) {
    case QtDebugMsg: Log::debug(line); break;
    case QtInfoMsg: Log::info(line); break;
    default: Log::error(line); break;
    }
}

int runPrimary(int argc, char **argv)
{
    // Taken before anything reads the history: two instances never share it.
    auto channel = std::make_unique<InstanceChannel>();
    if (!channel->tryLock()) {
        QCoreApplication client(argc, argv);
        CliCommand settings;
        settings.kind = CliCommand::Kind::Settings;
        const auto reply = InstanceChannel::send(channel->socketPath(), settings.toRequest(), 8000);
        if (!reply) {
            print(stderr, QStringLiteral("Bramblet tourne déjà mais ne répond pas.\n"));
            return CliCommand::ExitFailed;
        }
        return printReply(reply);
    }

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    qInstallMessageHandler(logQtMessage);
    QApplication app(argc, argv);
    // Images up to 16384×16384 px (an 8K screenshot among them) must decode:
    // raise Qt's decoder memory limit once, before anything reads an image.
    ImageLimits::allowLargeImages();
    QApplication::setApplicationName(QLatin1String(kAppName));
    QApplication::setDesktopFileName(QLatin1String(kAppId));
    QApplication::setQuitOnLastWindowClosed(false);

    // First, so a signal that comes during start-up still quits cleanly.
    TerminationSignals quitSignals([](int signalNumber) {
        Log::info(QStringLiteral("App: %1 received, quitting").arg(TerminationSignals::nameOf(signalNumber)));
        QCoreApplication::exit(0); // whatever a window answers to being closed
    });

    int status = 0;
    {
        // Everything long-lived; gone before the QApplication.
        UserDefaults defaults;
        AppRoot root(std::move(channel), SystemClock::instance(), defaults);
        // The settings window opens at every launch, once start-up is done.
        root.showSettingsWhenRunning();
        status = app.exec();
        Log::info(QStringLiteral("App: quitting"));
    }
    // What the teardown handed to deleteLater() goes while Qt is still whole.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return status;
}

} // namespace

namespace Application {

int run(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CliCommand command = CliCommand::parse(arguments);
    switch (command.kind) {
    case CliCommand::Kind::Help:
        print(stdout, CliCommand::helpText());
        return CliCommand::ExitOk;
    case CliCommand::Kind::Version:
        print(stdout, CliCommand::versionText());
        return CliCommand::ExitOk;
    case CliCommand::Kind::Invalid:
        print(stderr, command.error + QStringLiteral("\nEssayez « bramblet --help ».\n"));
        return CliCommand::ExitUsage;
    case CliCommand::Kind::Start:
        return runPrimary(argc, argv);
    default:
        return runClient(argc, argv, command);
    }
}

} // namespace Application
