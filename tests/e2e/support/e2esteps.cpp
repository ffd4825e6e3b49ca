#include "e2esteps.h"

#include <QFile>
#include <QJsonDocument>
#include <QStandardPaths>

#include "patience.h"
#include "runningapp.h"

QJsonArray readItems(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).array();
}

QString readTextFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString missingProgram(const QStringList &programs)
{
    for (const QString &program : programs) {
        if (QStandardPaths::findExecutable(program).isEmpty())
            return program + QStringLiteral(" is not installed");
    }
    return {};
}

int xdotool(const QStringList &args, QByteArray *out)
{
    return runTool(QStringLiteral("xdotool"), args, out);
}

QString activeWindow()
{
    QByteArray out;
    xdotool({QStringLiteral("getactivewindow")}, &out);
    return QString::fromLatin1(out.trimmed());
}

int copyWithXclip(const QByteArray &bytes, const QString &type)
{
    return runTool(QStringLiteral("xclip"), {QStringLiteral("-selection"), QStringLiteral("clipboard"),
                                             QStringLiteral("-t"), type, QStringLiteral("-i")},
                   nullptr, bytes);
}

QByteArray clipboardText()
{
    QByteArray out;
    runTool(QStringLiteral("xclip"), {QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard")}, &out);
    return out;
}

bool pressKeys(const QString &chord)
{
    return xdotool({QStringLiteral("key"), chord}) == 0;
}

void clickAt(const QPoint &at)
{
    xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()), QStringLiteral("click"),
             QStringLiteral("1")});
}

QStringList visibleWindows(qint64 pid, const QString &titleRegex)
{
    QByteArray ids;
    // --all: both the process and the title must match (xdotool's default is either).
    xdotool({QStringLiteral("search"), QStringLiteral("--all"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
             QString::number(pid), QStringLiteral("--name"), titleRegex},
            &ids);
    return QString::fromLatin1(ids).split(u'\n', Qt::SkipEmptyParts);
}

QRect windowFrame(const QString &window)
{
    QByteArray out;
    if (xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window}, &out) != 0)
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
    runTool(QStringLiteral("import"), {QStringLiteral("-window"), window, QStringLiteral("png:-")}, &png);
    return QImage::fromData(png, "PNG");
}
