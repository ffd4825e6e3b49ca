#pragma once

#include <optional>

#include <QJsonObject>
#include <QString>
#include <QStringList>

// One command of the program's command line, parsed. The same value travels
// to the running instance as a JSON request.
struct CliCommand
{
    enum class Kind { Start, Toggle, List, Copy, Quit, Settings, Help, Version, Invalid };

    // Process exit codes of the command-line client.
    enum Exit { ExitOk = 0, ExitFailed = 1, ExitUsage = 2, ExitNotRunning = 3 };

    Kind kind = Kind::Start;
    bool json = false;             // list --json
    std::optional<QString> folder; // list --folder NAME
    std::optional<int> limit;      // list --limit N (N >= 1)
    QString target;                // copy ID-or-index
    QString error;                 // why the arguments were refused (Invalid)

    // Parses the arguments that follow the program name. Never fails: wrong
    // arguments give kind Invalid with a French message in `error`.
    static CliCommand parse(const QStringList &arguments);

    // The request sent to the running instance (Start travels as Settings).
    QJsonObject toRequest() const;
    // Reads a request; anything malformed gives kind Invalid.
    static CliCommand fromRequest(const QJsonObject &request);

    static QString helpText();
    static QString versionText();
};
