#include "userdefaults.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include "appid.h"
#include "logger.h"
#include "settingsfile.h"
#include "settingsvalue.h"

namespace {

QString defaultPath()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QLatin1Char('/') + QLatin1String(kAppName) + QLatin1Char('/') + QLatin1String(kAppName) + QStringLiteral(".conf");
}

template <typename T>
std::optional<T> read(const QSettings &settings, const QString &key, std::optional<T> (*parse)(const QString &))
{
    const QVariant text = settings.value(key);
    return text.isValid() ? parse(text.toString()) : std::nullopt;
}

} // namespace

UserDefaults::UserDefaults(const QString &filePath)
{
    const QString path = QFileInfo(filePath.isEmpty() ? defaultPath() : filePath).absoluteFilePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    const auto version010 = SettingsFile::readVersion010(path);
    m_settings = std::make_unique<QSettings>(path, SettingsFile::readableFormat());
    if (version010) {
        // QSettings may hand this object the keys it parsed as INI above;
        // replace them all with the converted values, in the readable form.
        m_settings->clear();
        for (auto it = version010->cbegin(); it != version010->cend(); ++it)
            m_settings->setValue(it.key(), it.value());
        save();
    }
}

UserDefaults::~UserDefaults() = default;

std::optional<bool> UserDefaults::boolValue(const QString &key) const
{
    return read(*m_settings, key, SettingsValue::toBool);
}

std::optional<QString> UserDefaults::stringValue(const QString &key) const
{
    return read(*m_settings, key, SettingsValue::toString);
}

std::optional<QByteArray> UserDefaults::bytesValue(const QString &key) const
{
    return read(*m_settings, key, SettingsValue::toBytes);
}

void UserDefaults::setBool(const QString &key, bool value) { set(key, SettingsValue::fromBool(value)); }

void UserDefaults::setString(const QString &key, const QString &value) { set(key, SettingsValue::fromString(value)); }

void UserDefaults::setBytes(const QString &key, const QByteArray &value) { set(key, SettingsValue::fromBytes(value)); }

void UserDefaults::remove(const QString &key)
{
    m_settings->remove(key);
    save();
}

void UserDefaults::sync() { save(); }

QString UserDefaults::filePath() const { return m_settings->fileName(); }

void UserDefaults::set(const QString &key, const QString &text)
{
    m_settings->setValue(key, text);
    save();
}

void UserDefaults::save()
{
    // QSettings keeps the first error; log only the failure that set it.
    const bool wasFine = m_settings->status() == QSettings::NoError;
    m_settings->sync();
    if (wasFine && m_settings->status() != QSettings::NoError)
        Log::error(QStringLiteral("Settings: could not write %1, changes kept until the next write")
                       .arg(m_settings->fileName()));
}
