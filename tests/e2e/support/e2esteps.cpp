#include "e2esteps.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include "patience.h"
#include "runningapp.h"

QJsonArray readItems(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).array();
}

QStringList storedPreviews(const QString &path)
{
    QStringList out;
    for (const QJsonValue &item : readItems(path))
        out.prepend(item.toObject().value(QStringLiteral("preview")).toString());
    return out;
}

QString readTextFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QStringList words(const QString &line)
{
    return line.split(u' ', Qt::SkipEmptyParts);
}

int tool(const QString &commandLine, QByteArray *out)
{
    QStringList args = words(commandLine);
    const QString program = args.takeFirst();
    return runTool(program, args, out);
}

int xdotool(const QString &command, QByteArray *out)
{
    return tool(QStringLiteral("xdotool ") + command, out);
}

QString activeWindow()
{
    QByteArray out;
    xdotool(QStringLiteral("getactivewindow"), &out);
    return QString::fromLatin1(out.trimmed());
}

int copyWithXclip(const QByteArray &bytes, const QString &type)
{
    return runTool(QStringLiteral("xclip"), words(QStringLiteral("-selection clipboard -i -t ")) << type, nullptr, bytes);
}

QByteArray clipboardText()
{
    QByteArray out;
    tool(QStringLiteral("xclip -o -selection clipboard"), &out);
    return out;
}

bool pressKeys(const QString &chord)
{
    return xdotool(QStringLiteral("key ") + chord) == 0;
}

void clickAt(const QPoint &at)
{
    xdotool(QStringLiteral("mousemove %1 %2 click 1").arg(at.x()).arg(at.y()));
}

std::string clipFields(const QJsonObject &clip, const QString &keys)
{
    QStringList values;
    for (const QString &key : words(keys))
        values << clip.value(key).toString();
    return values.join(QStringLiteral(" | ")).toStdString();
}

QStringList visibleWindows(qint64 pid, const QString &titleRegex)
{
    QByteArray ids;
    // --all: both the process and the title must match (xdotool's default is either).
    // The title may hold spaces: it goes in as one argument.
    const QString search = QStringLiteral("search --all --onlyvisible --pid %1 --name").arg(pid);
    runTool(QStringLiteral("xdotool"), words(search) << titleRegex, &ids);
    return QString::fromLatin1(ids).split(u'\n', Qt::SkipEmptyParts);
}

QRect windowFrame(const QString &window)
{
    QByteArray out;
    if (xdotool(QStringLiteral("getwindowgeometry --shell ") + window, &out) != 0)
        return {};
    QHash<QString, int> values; // X, Y, WIDTH, HEIGHT
    for (const QString &line : QString::fromLatin1(out).split(u'\n', Qt::SkipEmptyParts))
        values.insert(line.section(u'=', 0, 0), line.section(u'=', 1).toInt());
    return QRect(values.value(QStringLiteral("X")), values.value(QStringLiteral("Y")),
                 values.value(QStringLiteral("WIDTH")), values.value(QStringLiteral("HEIGHT")));
}

QString panelWindow(qint64 pid)
{
    for (const QString &window : visibleWindows(pid, QStringLiteral("^Bramblet$"))) {
        if (windowFrame(window).height() == 330)
            return window;
    }
    return {};
}

QImage screenshot(const QString &window)
{
    QByteArray png;
    tool(QStringLiteral("import -window %1 png:-").arg(window), &png);
    return QImage::fromData(png, "PNG");
}
