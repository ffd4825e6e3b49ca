#include "clicommand.h"

#include <QCoreApplication>

#include "platform/appid.h"

namespace {

CliCommand invalid(const QString &message)
{
    CliCommand c;
    c.kind = CliCommand::Kind::Invalid;
    c.error = message;
    return c;
}

const QString kCommandKey = QStringLiteral("command");

QString kindName(CliCommand::Kind kind)
{
    switch (kind) {
    case CliCommand::Kind::Start:
    case CliCommand::Kind::Settings:
        return QStringLiteral("settings");
    case CliCommand::Kind::Toggle:
        return QStringLiteral("toggle");
    case CliCommand::Kind::List:
        return QStringLiteral("list");
    case CliCommand::Kind::Copy:
        return QStringLiteral("copy");
    case CliCommand::Kind::Quit:
        return QStringLiteral("quit");
    case CliCommand::Kind::Help:
    case CliCommand::Kind::Version:
    case CliCommand::Kind::Invalid:
        break;
    }
    return QString();
}

CliCommand parseList(const QStringList &args)
{
    CliCommand c;
    c.kind = CliCommand::Kind::List;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == u"--json") {
            c.json = true;
        } else if (a == u"--folder" || a.startsWith(QLatin1String("--folder="))) {
            QString value;
            if (a == u"--folder") {
                if (i + 1 >= args.size())
                    return invalid(QStringLiteral("--folder attend le nom d’un dossier."));
                value = args[++i];
            } else {
                value = a.mid(9);
            }
            if (value.trimmed().isEmpty())
                return invalid(QStringLiteral("--folder attend le nom d’un dossier."));
            c.folder = value;
        } else if (a == u"--limit" || a.startsWith(QLatin1String("--limit="))) {
            QString value;
            if (a == u"--limit") {
                if (i + 1 >= args.size())
                    return invalid(QStringLiteral("--limit attend un nombre entier positif."));
                value = args[++i];
            } else {
                value = a.mid(8);
            }
            bool ok = false;
            const int n = value.toInt(&ok);
            if (!ok || n < 1)
                return invalid(QStringLiteral("--limit attend un nombre entier positif, pas « %1 ».").arg(value));
            c.limit = n;
        } else {
            return invalid(QStringLiteral("Option inconnue pour list : « %1 ».").arg(a));
        }
    }
    return c;
}

} // namespace

CliCommand CliCommand::parse(const QStringList &arguments)
{
    if (arguments.isEmpty())
        return CliCommand{};
    const QString &first = arguments.first();
    const QStringList rest = arguments.mid(1);
    if (first == u"--help" || first == u"-h" || first == u"help") {
        CliCommand c;
        c.kind = Kind::Help;
        return c;
    }
    if (first == u"--version" || first == u"-v" || first == u"version") {
        CliCommand c;
        c.kind = Kind::Version;
        return c;
    }
    auto simple = [&rest](Kind kind, const QString &name) {
        if (!rest.isEmpty())
            return invalid(QStringLiteral("%1 ne prend aucun argument (reçu « %2 »).").arg(name, rest.first()));
        CliCommand c;
        c.kind = kind;
        return c;
    };
    if (first == u"toggle")
        return simple(Kind::Toggle, first);
    if (first == u"quit")
        return simple(Kind::Quit, first);
    if (first == u"settings")
        return simple(Kind::Settings, first);
    if (first == u"list")
        return parseList(rest);
    if (first == u"copy") {
        if (rest.size() != 1 || rest.first().trimmed().isEmpty())
            return invalid(QStringLiteral("copy attend un seul argument : l’identifiant ou le rang d’un élément."));
        CliCommand c;
        c.kind = Kind::Copy;
        c.target = rest.first().trimmed();
        return c;
    }
    return invalid(QStringLiteral("Commande inconnue : « %1 ».").arg(first));
}

QJsonObject CliCommand::toRequest() const
{
    QJsonObject o;
    o.insert(kCommandKey, kindName(kind));
    if (kind == Kind::List) {
        o.insert(QStringLiteral("json"), json);
        if (folder)
            o.insert(QStringLiteral("folder"), *folder);
        if (limit)
            o.insert(QStringLiteral("limit"), *limit);
    }
    if (kind == Kind::Copy)
        o.insert(QStringLiteral("target"), target);
    return o;
}

CliCommand CliCommand::fromRequest(const QJsonObject &request)
{
    const QString name = request.value(kCommandKey).toString();
    CliCommand c;
    if (name == u"settings") {
        c.kind = Kind::Settings;
    } else if (name == u"toggle") {
        c.kind = Kind::Toggle;
    } else if (name == u"quit") {
        c.kind = Kind::Quit;
    } else if (name == u"list") {
        c.kind = Kind::List;
        c.json = request.value(QStringLiteral("json")).toBool(false);
        const QJsonValue folder = request.value(QStringLiteral("folder"));
        if (folder.isString())
            c.folder = folder.toString();
        else if (!folder.isUndefined())
            return invalid(QStringLiteral("Requête invalide : folder."));
        const QJsonValue limit = request.value(QStringLiteral("limit"));
        if (limit.isDouble() && limit.toDouble() >= 1 && limit.toDouble() == double(limit.toInt()))
            c.limit = limit.toInt();
        else if (!limit.isUndefined())
            return invalid(QStringLiteral("Requête invalide : limit."));
    } else if (name == u"copy") {
        c.kind = Kind::Copy;
        c.target = request.value(QStringLiteral("target")).toString().trimmed();
        if (c.target.isEmpty())
            return invalid(QStringLiteral("Requête invalide : target."));
    } else {
        return invalid(QStringLiteral("Requête inconnue : « %1 ».").arg(name));
    }
    return c;
}

QString CliCommand::helpText()
{
    return QStringLiteral(
        "Utilisation : bramblet [COMMANDE]\n"
        "\n"
        "Sans commande, lance Bramblet ; s’il tourne déjà, ouvre ses réglages.\n"
        "\n"
        "Commandes (envoyées à l’instance en cours) :\n"
        "  toggle                  affiche ou masque le panneau de l’historique\n"
        "  list [--json] [--folder NOM] [--limit N]\n"
        "                          liste les éléments, du plus récent au plus ancien\n"
        "  copy ID|RANG            met l’élément sur le presse-papiers (RANG : numéro donné par list)\n"
        "  quit                    quitte l’instance en cours\n"
        "  --help, -h              affiche cette aide\n"
        "  --version, -v           affiche la version\n"
        "\n"
        "Codes de sortie : 0 réussite, 1 échec, 2 arguments invalides, 3 Bramblet n’est pas lancé.\n");
}

QString CliCommand::versionText()
{
    return QLatin1String(kAppName) + QStringLiteral(" ") + QStringLiteral(BRAMBLET_VERSION) + u'\n';
}
