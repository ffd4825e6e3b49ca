#include "settingsfile.h"

#include <QFile>
#include <QSaveFile>
#include <QSettings>

#include "logger.h"
#include "settingsvalue.h"

namespace {

constexpr char kHeader[] =
    "# Bramblet settings, one per line: true or false, \"text\" in double quotes, the shortcut as JSON.\n";

// Version 0.1.0 stored the settings through QSettings' INI format, every
// value a tagged string, always in the [General] section.
bool isVersion010File(const QByteArray &content)
{
    for (const QByteArray &line : content.split('\n')) {
        if (line.trimmed() == "[General]")
            return true;
    }
    return false;
}

std::optional<QString> fromVersion010(const QString &tagged)
{
    if (tagged == u"bool:true" || tagged == u"bool:false")
        return SettingsValue::fromBool(tagged == u"bool:true");
    if (tagged.startsWith(QLatin1String("string:")))
        return SettingsValue::fromString(tagged.mid(7));
    if (tagged.startsWith(QLatin1String("bytes:"))) {
        const auto decoded =
            QByteArray::fromBase64Encoding(tagged.mid(6).toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        if (decoded)
            return SettingsValue::fromBytes(*decoded);
    }
    return std::nullopt;
}

SettingsFile::Values readVersion010(const QString &path)
{
    SettingsFile::Values values;
    const QSettings settings(path, QSettings::IniFormat);
    for (const QString &key : settings.allKeys()) {
        if (const auto text = fromVersion010(settings.value(key).toString()))
            values.insert(key, *text);
        else
            Log::error(QStringLiteral("Settings: %1 in the 0.1.0 file is unreadable, left out").arg(key));
    }
    return values;
}

} // namespace

namespace SettingsFile {

Values read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray content = file.readAll();
    if (isVersion010File(content))
        return readVersion010(path);

    Values values;
    for (const QByteArray &rawLine : content.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(u';'))
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0)
            continue;
        values.insert(line.left(eq).trimmed(), line.mid(eq + 1).trimmed());
    }
    return values;
}

bool write(const QString &path, const Values &values)
{
    QByteArray content(kHeader);
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        content += it.key().toUtf8() + '=' + it.value().toUtf8() + '\n';

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit()) {
        Log::error(QStringLiteral("Settings: could not write %1: %2").arg(path, file.errorString()));
        return false;
    }
    return true;
}

} // namespace SettingsFile
