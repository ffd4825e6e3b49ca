#include "settingsfile.h"

#include <QFile>

#include "logger.h"
#include "settingsvalue.h"

namespace {

constexpr char kHeader[] =
    "# Bramblet settings, one per line: true or false, \"text\" in double quotes, the shortcut as JSON.\n";

bool readReadable(QIODevice &device, QSettings::SettingsMap &map)
{
    while (!device.atEnd()) {
        const QString line = QString::fromUtf8(device.readLine()).trimmed();
        const qsizetype eq = line.indexOf(u'=');
        if (eq > 0 && !line.startsWith(u'#') && !line.startsWith(u';'))
            map.insert(line.left(eq).trimmed(), line.mid(eq + 1).trimmed());
    }
    return true;
}

bool writeReadable(QIODevice &device, const QSettings::SettingsMap &map)
{
    QByteArray content(kHeader);
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        content += it.key().toUtf8() + '=' + it.value().toString().toUtf8() + '\n';
    return device.write(content) == content.size();
}

// Version 0.1.0 always wrote its settings in the INI file's [General] section.
bool isVersion010File(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    while (!file.atEnd()) {
        if (file.readLine().trimmed() == "[General]")
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
    // The tagged Base64 of 0.1.0 is also the readable form's fallback for bytes.
    if (const auto bytes = tagged.startsWith(QLatin1String("bytes:")) ? SettingsValue::toBytes(tagged) : std::nullopt)
        return SettingsValue::fromBytes(*bytes);
    return std::nullopt;
}

} // namespace

namespace SettingsFile {

QSettings::Format readableFormat()
{
    static const QSettings::Format format =
        QSettings::registerFormat(QStringLiteral("conf"), readReadable, writeReadable);
    return format;
}

std::optional<QSettings::SettingsMap> readVersion010(const QString &path)
{
    if (!isVersion010File(path))
        return std::nullopt;
    QSettings::SettingsMap values;
    const QSettings settings(path, QSettings::IniFormat);
    for (const QString &key : settings.allKeys()) {
        if (const auto text = fromVersion010(settings.value(key).toString()))
            values.insert(key, *text);
        else
            Log::error(QStringLiteral("Settings: %1 in the 0.1.0 file is unreadable, left out").arg(key));
    }
    return values;
}

} // namespace SettingsFile
