#include "e2esteps.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

#include "runningapp.h"

QJsonArray readItems(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll());
    return doc.isArray() ? doc.array() : doc.object().value(QStringLiteral("items")).toArray();
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
