#pragma once

#include <memory>
#include <optional>

#include <QByteArray>
#include <QString>

class QSettings;

// The user-defaults database: typed values under string keys, kept in
// $XDG_CONFIG_HOME/Bramblet/Bramblet.conf as text a person can read and edit
// (see SettingsFile and SettingsValue for the forms; a file written by 0.1.0
// is read once and then kept in the readable form). Readers get an empty
// optional when a key is absent or holds a value of another type. Every change
// goes to disk at once through QSettings, which merges it under its lock with
// what other processes wrote there meanwhile. Main thread only.
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

    // Writes any change a failed write left pending, and reads the file
    // again so that changes made by another process are seen.
    void sync();

    QString filePath() const;

private:
    void set(const QString &key, const QString &text);
    void save();

    std::unique_ptr<QSettings> m_settings; // values held as the text forms of SettingsValue
};
