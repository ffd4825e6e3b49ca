#pragma once

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QTemporaryDir>

// Points HOME and the XDG variables at a fresh temporary folder for the life
// of the object, so tests never touch the user's history or settings.
class TempEnv final
{
public:
    TempEnv()
    {
        for (int i = 0; i < 4; ++i) {
            m_had[i] = qEnvironmentVariableIsSet(kVars[i]);
            m_saved[i] = qgetenv(kVars[i]);
        }
        for (const char *sub : {"data", "config", "cache"})
            QDir(root()).mkpath(QString::fromLatin1(sub));
        qputenv("HOME", root().toUtf8());
        qputenv("XDG_DATA_HOME", dataHome().toUtf8());
        qputenv("XDG_CONFIG_HOME", configHome().toUtf8());
        qputenv("XDG_CACHE_HOME", (root() + QStringLiteral("/cache")).toUtf8());
    }
    ~TempEnv()
    {
        for (int i = 0; i < 4; ++i) {
            if (m_had[i])
                qputenv(kVars[i], m_saved[i]);
            else
                qunsetenv(kVars[i]);
        }
    }
    TempEnv(const TempEnv &) = delete;
    TempEnv &operator=(const TempEnv &) = delete;

    QString root() const { return m_dir.path(); }
    QString dataHome() const { return root() + QStringLiteral("/data"); }
    QString configHome() const { return root() + QStringLiteral("/config"); }
    // $XDG_DATA_HOME/Bramblet
    QString historyDir() const { return dataHome() + QStringLiteral("/Bramblet"); }

private:
    static constexpr const char *kVars[4] = {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"};
    QTemporaryDir m_dir;
    QByteArray m_saved[4];
    bool m_had[4] = {};
};
