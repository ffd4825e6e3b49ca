#include "userdefaults.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>

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

} // namespace

UserDefaults::UserDefaults(const QString &filePath)
    : m_path(QFileInfo(filePath.isEmpty() ? defaultPath() : filePath).absoluteFilePath())
{
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    m_values = SettingsFile::read(m_path);
}

UserDefaults::~UserDefaults() = default;

std::optional<bool> UserDefaults::boolValue(const QString &key) const
{
    const auto it = m_values.constFind(key);
    return it == m_values.cend() ? std::nullopt : SettingsValue::toBool(*it);
}

std::optional<QString> UserDefaults::stringValue(const QString &key) const
{
    const auto it = m_values.constFind(key);
    return it == m_values.cend() ? std::nullopt : SettingsValue::toString(*it);
}

std::optional<QByteArray> UserDefaults::bytesValue(const QString &key) const
{
    const auto it = m_values.constFind(key);
    return it == m_values.cend() ? std::nullopt : SettingsValue::toBytes(*it);
}

void UserDefaults::setBool(const QString &key, bool value) { change(key, SettingsValue::fromBool(value)); }

void UserDefaults::setString(const QString &key, const QString &value) { change(key, SettingsValue::fromString(value)); }

void UserDefaults::setBytes(const QString &key, const QByteArray &value) { change(key, SettingsValue::fromBytes(value)); }

void UserDefaults::remove(const QString &key) { change(key, std::nullopt); }

void UserDefaults::sync() { flush(); }

QString UserDefaults::filePath() const { return m_path; }

UserDefaults &UserDefaults::shared()
{
    static UserDefaults defaults;
    return defaults;
}

void UserDefaults::change(const QString &key, std::optional<QString> text)
{
    if (text)
        m_values.insert(key, *text);
    else
        m_values.remove(key);
    m_unsaved.insert(key, std::move(text));
    flush();
}

void UserDefaults::flush()
{
    // Another instance (another history folder) may share this file: take
    // what is on disk and lay our changes over it, under a lock.
    QLockFile lock(m_path + QStringLiteral(".lock"));
    if (!lock.tryLock(2000))
        Log::error(QStringLiteral("Settings: %1 is locked by another process, writing anyway").arg(m_path));
    SettingsFile::Values values = SettingsFile::read(m_path);
    for (auto it = m_unsaved.cbegin(); it != m_unsaved.cend(); ++it) {
        if (it.value())
            values.insert(it.key(), *it.value());
        else
            values.remove(it.key());
    }
    if (!m_unsaved.isEmpty() && !SettingsFile::write(m_path, values))
        return; // kept in memory and in m_unsaved for the next try
    m_unsaved.clear();
    m_values = values;
}
