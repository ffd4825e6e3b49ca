#pragma once

#include <functional>

#include <QString>
#include <QUrl>

#include "platform/soundplayer.h"

class SoundLibrary;
class UserDefaults;

// The copy-sound settings and the player the store and the sounds pane use.
// Settings are read afresh at every call. Main thread only.
class SoundManager final : public SoundPlayer
{
public:
    static constexpr char kEnabled[] = "bramblet.sound.enabled";
    static constexpr char kName[] = "bramblet.sound.name";
    static constexpr char kDefaultName[] = "Pop";

    // `output` starts playing a resolved sound and must not block.
    using Output = std::function<void(const QUrl &)>;
    SoundManager(UserDefaults &defaults, const SoundLibrary &library, Output output);
    ~SoundManager() override;

    // The stored bool; true when absent or stored as another type.
    bool isEnabled() const;
    // The stored text; "Pop" when absent or stored as another type.
    QString soundName() const;
    void setEnabled(bool enabled);
    void setSoundName(const QString &name);

    // Plays the named sound; a name with no sound plays nothing, silently.
    void play(const QString &name) override;

    const SoundLibrary &library() const { return m_library; }

private:
    UserDefaults &m_defaults;
    const SoundLibrary &m_library;
    Output m_output;
};
