#pragma once

#include <memory>
#include <optional>

#include <QByteArray>
#include <QString>

class QSettings;

// The user-defaults database: typed values under string keys, kept in
// $XDG_CONFIG_HOME/Bramblet/Bramblet.conf. Readers get an empty optional when a
// key is absent or holds a value of another type. Main thread only.
class UserDefaults final
{
public:
    // Uses the standard location; `filePath` overrides it (tests).
    explicit UserDefaults(const QString &filePath = QString());
    ~UserDefaults();
    UserDefaults(const UserDefaults &) = delete;
    UserDefaults &operator=(const UserDefaults &) = delete;

    std::optional<bool> boolValue(const QString &key) const;
    std::optional<QString> stringValue(const QString &key) const;
    std::optional<QByteArray> bytesValue(const QString &key) const;

    void setBool(const QString &key, bool value);
    void setString(const QString &key, const QString &value);
    void setBytes(const QString &key, const QByteArray &value);
    void remove(const QString &key);

    // Writes pending changes to disk.
    void sync();

    QString filePath() const;

    // The process-wide database used by the composition root and the views.
    static UserDefaults &shared();

private:
    std::unique_ptr<QSettings> m_settings;
};
