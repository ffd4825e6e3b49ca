#pragma once

#include <functional>

#include <QString>

// The program's one log facility: category "core", levels debug/info/error.
// Lines go to the systemd journal (identifier = app id, CATEGORY=core) and to
// stderr when BRAMBLET_LOG=stderr is set or the journal is unreachable.
// Callable from any thread: lines, and sink changes, are taken one at a time.
namespace Log {

enum class Level { Debug, Info, Error };

void debug(const QString &line);
void info(const QString &line);
void error(const QString &line);
void write(Level level, const QString &line);

// Replaces the output with `sink` (tests capture lines this way); an empty
// function restores the journal/stderr output.
using Sink = std::function<void(Level, const QString &)>;
void setSink(Sink sink);

// First 8 characters of a canonical upper-case UUID text, as log lines cut ids.
QString shortId(const QString &canonicalUuid);

} // namespace Log
