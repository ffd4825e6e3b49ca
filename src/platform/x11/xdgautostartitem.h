#pragma once

#include <QString>

#include "platform/loginitem.h"

// Start at login through an XDG autostart entry:
// $XDG_CONFIG_HOME/autostart/<app id>.desktop (default ~/.config/autostart).
// Enabled means the entry exists and is not marked Hidden=true.
class XdgAutostartItem final : public LoginItem
{
public:
    // `executable` is written as the entry's Exec; `configHome` empty means
    // the XDG location at the time of each call.
    explicit XdgAutostartItem(QString executable, QString configHome = QString());

    bool isEnabled() const override;
    // Writes the entry atomically or removes it. Removing an absent entry succeeds.
    bool setEnabled(bool enabled) override;

    QString entryPath() const;
    // The entry's text for `executable`.
    static QByteArray entryText(const QString &executable);

private:
    QString m_executable;
    QString m_configHome;
};
