#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// Points HOME and the XDG variables at a fresh temporary folder for the life
// of the object, so tests never touch the user's history or settings.
class TempEnv final
{
public:
    TempEnv();
    ~TempEnv();
    TempEnv(const TempEnv &) = delete;
    TempEnv &operator=(const TempEnv &) = delete;

    QString root() const { return m_dir.path(); }
    QString dataHome() const { return root() + QStringLiteral("/data"); }
    QString configHome() const { return root() + QStringLiteral("/config"); }
    // $XDG_DATA_HOME/Bramblet
    QString historyDir() const { return dataHome() + QStringLiteral("/Bramblet"); }

private:
    QTemporaryDir m_dir;
    QByteArray m_saved[4];
    bool m_had[4] = {};
};
