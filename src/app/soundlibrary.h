#pragma once

#include <optional>

#include <QString>
#include <QStringList>
#include <QUrl>

// Resolves a sound name to something playable: first the user's own file
// <name>.wav / .ogg / .oga in the user sounds folder, then the sound shipped
// with the program (":/sounds/<name>.wav"). Names with a path separator or a
// leading dot resolve to nothing.
class SoundLibrary final
{
public:
    // `userFolder` empty: $XDG_DATA_HOME/sounds (default ~/.local/share/sounds).
    explicit SoundLibrary(QString userFolder = QString());

    QString userFolder() const;
    // The fourteen shipped names, in picker order.
    static QStringList standardNames();
    // Base names of the user's playable files, sorted, without the shipped ones.
    QStringList userNames() const;
    // A file or qrc URL, or nothing when no sound has this name.
    std::optional<QUrl> resolve(const QString &name) const;

private:
    QString m_userFolder;
};
