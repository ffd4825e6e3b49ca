#include "soundmanager.h"

#include "platform/userdefaults.h"
#include "soundlibrary.h"

SoundManager::SoundManager(UserDefaults &defaults, const SoundLibrary &library, Output output)
    : m_defaults(defaults)
    , m_library(library)
    , m_output(std::move(output))
{
}

bool SoundManager::isEnabled() const
{
    return m_defaults.boolValue(QLatin1String(kEnabled)).value_or(true);
}

QString SoundManager::soundName() const
{
    return m_defaults.stringValue(QLatin1String(kName)).value_or(QLatin1String(kDefaultName));
}

void SoundManager::setEnabled(bool enabled)
{
    m_defaults.setBool(QLatin1String(kEnabled), enabled);
    m_defaults.sync();
}

void SoundManager::setSoundName(const QString &name)
{
    m_defaults.setString(QLatin1String(kName), name);
    m_defaults.sync();
}

void SoundManager::play(const QString &name)
{
    const auto url = m_library.resolve(name);
    if (url && m_output)
        m_output(*url);
}

SoundManager::~SoundManager() = default;
