// The command line and the instance socket's messages. The input is one of:
// the arguments after the program name (separated by NUL bytes), a request
// line as the running instance reads it from its socket, or a reply line as
// the command-line client reads it. Commands are carried out by the running
// instance's handler over a small history, one of whose dates the input
// gives (a history file may hold any number there).
#include <cstddef>
#include <cstdint>

#include <fuzzer/FuzzedDataProvider.h>

#include <QCoreApplication>
#include <QJsonDocument>
#include <QTemporaryDir>

#include "app/clicommand.h"
#include "app/instancecommandhandler.h"
#include "app/instancereply.h"
#include "fuzzsupport.h"
#include "platform/fake/fakeclock.h"
#include "platform/fake/fakesoundplayer.h"
#include "platform/userdefaults.h"
#include "store/clipboardstore.h"
#include "support/clipsamples.h"
#include "support/memoryhistoryfiles.h"

namespace {

struct World {
    QTemporaryDir tmp;
    MemoryHistoryFiles files{tmp.path() + QStringLiteral("/history")};
    UserDefaults defaults{tmp.path() + QStringLiteral("/defaults.conf")};
};

World *g_world = nullptr;

// Ids follow from the text, so that an input replays the same.
ClipboardItem clip(const char *text, double createdAt, std::optional<QUuid> folder = std::nullopt)
{
    ClipboardItem item = ClipSamples::text(QString::fromUtf8(text), createdAt, folder);
    item.id = QUuid::createUuidV5(QUuid(), QByteArray(text));
    return item;
}

bool sameCommand(const CliCommand &a, const CliCommand &b)
{
    return a.kind == b.kind && a.json == b.json && a.folder == b.folder && a.limit == b.limit && a.target == b.target;
}

InstanceReply runInInstance(const CliCommand &command, double date)
{
    const ClipboardFolder work{QUuid::createUuidV5(QUuid(), QByteArray("Travail")), QStringLiteral("Travail"), 0};
    g_world->files.preset = {{clip("premier", 100), clip("daté par le fichier", date, work.id), clip("dernier", 300)},
                             {work}};
    FakeClock clock;
    FakeSoundPlayer player;
    ClipboardStore store(g_world->files, clock, g_world->defaults, player);
    InstanceCommandHandler handler(store, {[] {}, [] {}, [] {}, [](const ClipboardItem &) { return true; }});
    return handler.handle(command);
}

// Text as it crosses the socket, in UTF-8 (a lone surrogate becomes U+FFFD).
QString asSent(const QString &text) { return QString::fromUtf8(text.toUtf8()); }

// What the client prints must survive the trip through the socket.
void checkReplyTravels(const InstanceReply &reply)
{
    const QByteArray line = QJsonDocument(reply.toJson()).toJson(QJsonDocument::Compact);
    const InstanceReply read = InstanceReply::fromJson(QJsonDocument::fromJson(line).object());
    if (read.exitCode != reply.exitCode || read.out != asSent(reply.out) || read.err != asSent(reply.err))
        Fuzz::fail("a reply reads differently on the client", line);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    Fuzz::quietLog();
    new QCoreApplication(*argc, *argv);
    g_world = new World;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const int mode = in.ConsumeIntegralInRange<int>(0, 2);
    const double date = in.ConsumeFloatingPoint<double>();
    const std::string rest = in.ConsumeRemainingBytesAsString();
    const QByteArray bytes(rest.data(), qsizetype(rest.size()));

    if (mode == 0) {
        QStringList arguments;
        for (const QByteArray &part : bytes.split('\0'))
            arguments.append(QString::fromLocal8Bit(part));
        const CliCommand command = CliCommand::parse(arguments);
        if (command.kind == CliCommand::Kind::Invalid && command.error.isEmpty())
            Fuzz::fail("refused arguments without a message", bytes);
        // A command the client sends reads back the same in the instance.
        if (command.kind != CliCommand::Kind::Invalid && command.kind != CliCommand::Kind::Help
            && command.kind != CliCommand::Kind::Version) {
            const QByteArray line = QJsonDocument(command.toRequest()).toJson(QJsonDocument::Compact);
            CliCommand sent = CliCommand::fromRequest(QJsonDocument::fromJson(line).object());
            CliCommand expected = command;
            if (expected.kind == CliCommand::Kind::Start)
                expected.kind = CliCommand::Kind::Settings;
            if (!sameCommand(sent, expected))
                Fuzz::fail("a command reads differently in the running instance", line);
            checkReplyTravels(runInInstance(sent, date));
        }
        return 0;
    }

    const QJsonDocument doc = QJsonDocument::fromJson(bytes);
    if (!doc.isObject())
        return 0;
    if (mode == 1) {
        checkReplyTravels(runInInstance(CliCommand::fromRequest(doc.object()), date));
    } else {
        const InstanceReply reply = InstanceReply::fromJson(doc.object());
        if (reply.exitCode == 0 && !doc.object().value(QStringLiteral("exit")).isDouble())
            Fuzz::fail("an unreadable reply reads as a success", bytes);
    }
    return 0;
}
