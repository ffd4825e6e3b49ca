#include "clicommand.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

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

QString unknownListOption(const QString &argument)
{
    return QStringLiteral("Option inconnue pour list : « %1 ».").arg(argument);
}

const QString kFolderNeedsName = QStringLiteral("--folder attend le nom d’un dossier.");
const QString kLimitNeedsNumber = QStringLiteral("--limit attend un nombre entier positif.");

// How an option found by the parser is written on the command line.
QString written(const QString &optionName)
{
    return (optionName.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + optionName;
}

// The argument that brought the unknown option `name` (the parser keeps only
// the name: "all" for "--all", "j" for the bundle "-json").
QString argumentOfUnknownOption(const QStringList &args, const QString &name)
{
    for (const QString &a : args) {
        if (a.startsWith(QLatin1String("--")) ? a.mid(2).section(u'=', 0, 0) == name
                                              : a.startsWith(u'-') && a.mid(1).contains(name))
            return a;
    }
    return name;
}

CliCommand parseList(const QStringList &args)
{
    QCommandLineParser parser;
    const QCommandLineOption json(QStringLiteral("json"));
    const QCommandLineOption folder(QStringLiteral("folder"), QString(), QStringLiteral("NOM"));
    const QCommandLineOption limit(QStringLiteral("limit"), QString(), QStringLiteral("N"));
    parser.addOptions({json, folder, limit});
    if (!parser.parse(QStringList{QLatin1String(kAppName)} + args)) {
        if (!parser.unknownOptionNames().isEmpty())
            return invalid(unknownListOption(argumentOfUnknownOption(args, parser.unknownOptionNames().first())));
        // The other refusals: a value given to --json, or a value missing at the end.
        for (const QString &a : args) {
            if (a.startsWith(QLatin1String("--json=")))
                return invalid(unknownListOption(a));
        }
        return invalid(args.last() == u"--folder" ? kFolderNeedsName : kLimitNeedsNumber);
    }
    // A bare "--" ends the options for the parser; here it is just an unknown
    // argument (as a value of --folder or --limit it was taken as the value).
    const QStringList values = parser.values(folder) + parser.values(limit);
    if (args.count(QStringLiteral("--")) > values.count(QStringLiteral("--")))
        return invalid(unknownListOption(QStringLiteral("--")));
    if (!parser.positionalArguments().isEmpty())
        return invalid(unknownListOption(parser.positionalArguments().first()));

    CliCommand c;
    c.kind = CliCommand::Kind::List;
    c.json = parser.isSet(json);
    for (const QString &value : parser.values(folder)) {
        if (value.trimmed().isEmpty())
            return invalid(kFolderNeedsName);
        c.folder = value;
    }
    for (const QString &value : parser.values(limit)) {
        bool ok = false;
        const int n = value.toInt(&ok);
        if (!ok || n < 1)
            return invalid(QStringLiteral("--limit attend un nombre entier positif, pas « %1 ».").arg(value));
        c.limit = n;
    }
    return c;
}

} // namespace

CliCommand CliCommand::parse(const QStringList &arguments)
{
    if (arguments.isEmpty())
        return CliCommand{};
    // The first argument is an option (--help, --version) or the command
    // word; everything after the command word belongs to the command.
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOptions({help, version});
    // Refusals are judged below: only the first argument decides.
    parser.parse(QStringList{QLatin1String(kAppName)} + arguments);

    const QString &first = arguments.first();
    const QStringList found = parser.optionNames();
    // Only the first argument counts, written exactly as listed in the help
    // (the parser would also take "--h" or a bundle such as "-hv").
    if (!found.isEmpty() && first == written(found.first())) {
        CliCommand c;
        c.kind = help.names().contains(found.first()) ? Kind::Help : Kind::Version;
        return c;
    }
    const QStringList words = parser.positionalArguments();
    if (words.isEmpty() || words.first() != first)
        return invalid(QStringLiteral("Commande inconnue : « %1 ».").arg(first));

    const QStringList rest = words.mid(1);
    if (first == u"help") {
        CliCommand c;
        c.kind = Kind::Help;
        return c;
    }
    if (first == u"version") {
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
