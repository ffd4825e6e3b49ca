#include "userdefaults.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include "appid.h"

namespace {

// Each value is stored with a type tag so that a value written as one type is
// never read back as another ("absent or of another type" reads as absent).
constexpr char kBoolTag[] = "bool:";
constexpr char kStringTag[] = "string:";
constexpr char kBytesTag[] = "bytes:";

QString defaultPath()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QLatin1Char('/') + QLatin1String(kAppName) + QLatin1Char('/') + QLatin1String(kAppName) + QStringLiteral(".conf");
}

std::optional<QString> tagged(const QSettings &s, const QString &key, const char *tag)
{
    const QVariant v = s.value(key);
    if (!v.isValid())
        return std::nullopt;
    const QString text = v.toString();
    const QLatin1String prefix(tag);
    if (!text.startsWith(prefix))
        return std::nullopt;
    return text.mid(prefix.size());
}

} // namespace

UserDefaults::UserDefaults(const QString &filePath)
{
    const QString path = filePath.isEmpty() ? defaultPath() : filePath;
    QDir().mkpath(QFileInfo(path).absolutePath());
    m_settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
}

UserDefaults::~UserDefaults() = default;

std::optional<bool> UserDefaults::boolValue(const QString &key) const
{
    const auto text = tagged(*m_settings, key, kBoolTag);
    if (!text)
        return std::nullopt;
    if (*text == QLatin1String("true"))
        return true;
    if (*text == QLatin1String("false"))
        return false;
    return std::nullopt;
}

std::optional<QString> UserDefaults::stringValue(const QString &key) const
{
    return tagged(*m_settings, key, kStringTag);
}

std::optional<QByteArray> UserDefaults::bytesValue(const QString &key) const
{
    const auto text = tagged(*m_settings, key, kBytesTag);
    if (!text)
        return std::nullopt;
    const auto decoded = QByteArray::fromBase64Encoding(text->toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return std::nullopt;
    return *decoded;
}

void UserDefaults::setBool(const QString &key, bool value)
{
    m_settings->setValue(key, QString::fromLatin1(kBoolTag) + (value ? QStringLiteral("true") : QStringLiteral("false")));
}

void UserDefaults::setString(const QString &key, const QString &value)
{
    m_settings->setValue(key, QString::fromLatin1(kStringTag) + value);
}

void UserDefaults::setBytes(const QString &key, const QByteArray &value)
{
    m_settings->setValue(key, QString::fromLatin1(kBytesTag) + QString::fromLatin1(value.toBase64()));
}

void UserDefaults::remove(const QString &key) { m_settings->remove(key); }

void UserDefaults::sync() { m_settings->sync(); }

QString UserDefaults::filePath() const { return m_settings->fileName(); }

UserDefaults &UserDefaults::shared()
{
    static UserDefaults defaults;
    return defaults;
}
