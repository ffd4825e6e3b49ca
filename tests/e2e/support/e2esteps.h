#pragma once

#include <string>

#include <QByteArray>
#include <QImage>
#include <QJsonArray>
#include <QJsonObject>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

// Small steps the end-to-end tests share: reading what the program wrote and
// driving the X display through xdotool, xclip and import. All block until done.

// The clips in the items.json at `path`, newest first; empty when the file
// is missing or unreadable.
QJsonArray readItems(const QString &path);

// The clips' previews in the items.json at `path`, oldest first.
QStringList storedPreviews(const QString &path);

// The whole file at `path` as UTF-8; empty when it cannot be read.
QString readTextFile(const QString &path);

// `line` split at its spaces: a helper command's arguments written as one string.
QStringList words(const QString &line);

// Runs `commandLine` (a program and its arguments, split at spaces); returns
// its exit code (-1 when it did not run) and, when asked, its standard output.
int tool(const QString &commandLine, QByteArray *out = nullptr);

// tool() with "xdotool " in front, e.g. xdotool("search --class trayer").
int xdotool(const QString &command, QByteArray *out = nullptr);

// The id of the active window as xdotool prints it (decimal); empty if none.
QString activeWindow();

// Puts `bytes` on the CLIPBOARD selection as the one target `type`; returns
// xclip's exit code once it has taken the selection.
int copyWithXclip(const QByteArray &bytes, const QString &type = QStringLiteral("UTF8_STRING"));

// What the CLIPBOARD selection holds now as text (xclip -o); empty if nothing.
QByteArray clipboardText();

// Presses `chord` (xdotool's key syntax, e.g. "super+shift+v"); false when
// xdotool failed.
bool pressKeys(const QString &chord);

// Moves the pointer to `at` (screen coordinates) and clicks the left button.
void clickAt(const QPoint &at);

// The text fields `keys` (split at spaces) of `clip`, joined by " | ": one
// comparison shows every field that differs.
std::string clipFields(const QJsonObject &clip, const QString &keys);

// The visible windows of process `pid` whose title matches `titleRegex`.
QStringList visibleWindows(qint64 pid, const QString &titleRegex);

// Where `window` is on the screen; null when it is gone.
QRect windowFrame(const QString &window);

// The program's overlay panel: its visible window 330 px tall; empty while
// the panel is hidden.
QString panelWindow(qint64 pid);

// What `window` shows, as a user sees it; null when it could not be taken.
QImage screenshot(const QString &window);
