#pragma once

#include <QList>
#include <QString>

// The settings window's tabs, in sidebar order.
enum class CDSettingsTab { General, Privacy, Shortcuts, Sounds };

namespace CDSettingsTabs {
QList<CDSettingsTab> all();
// "Général", "Confidentialité", "Raccourcis", "Sons".
QString title(CDSettingsTab tab);
// "gearshape", "lock.shield", "keyboard", "speaker.wave.2.fill".
QString symbol(CDSettingsTab tab);
} // namespace CDSettingsTabs
