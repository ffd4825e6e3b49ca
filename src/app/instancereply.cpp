#include "instancereply.h"

#include "clicommand.h"

QJsonObject InstanceReply::toJson() const
{
    return {{QStringLiteral("exit"), exitCode}, {QStringLiteral("out"), out}, {QStringLiteral("err"), err}};
}

InstanceReply InstanceReply::fromJson(const QJsonObject &json)
{
    InstanceReply reply;
    const QJsonValue code = json.value(QStringLiteral("exit"));
    if (!code.isDouble()) {
        reply.exitCode = CliCommand::ExitFailed;
        reply.err = QStringLiteral("Réponse illisible de l’instance en cours.\n");
        return reply;
    }
    reply.exitCode = code.toInt();
    reply.out = json.value(QStringLiteral("out")).toString();
    reply.err = json.value(QStringLiteral("err")).toString();
    return reply;
}
