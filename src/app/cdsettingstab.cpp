#include "cdsettingstab.h"

namespace CDSettingsTabs {

QList<CDSettingsTab> all()
{
    return {CDSettingsTab::General, CDSettingsTab::Privacy, CDSettingsTab::Shortcuts, CDSettingsTab::Sounds};
}

QString title(CDSettingsTab tab)
{
    switch (tab) {
    case CDSettingsTab::General:
        return QStringLiteral("Général");
    case CDSettingsTab::Privacy:
        return QStringLiteral("Confidentialité");
    case CDSettingsTab::Shortcuts:
        return QStringLiteral("Raccourcis");
    case CDSettingsTab::Sounds:
        return QStringLiteral("Sons");
    }
    return QString();
}

QString symbol(CDSettingsTab tab)
{
    switch (tab) {
    case CDSettingsTab::General:
        return QStringLiteral("gearshape");
    case CDSettingsTab::Privacy:
        return QStringLiteral("lock.shield");
    case CDSettingsTab::Shortcuts:
        return QStringLiteral("keyboard");
    case CDSettingsTab::Sounds:
        return QStringLiteral("speaker.wave.2.fill");
    }
    return QString();
}

} // namespace CDSettingsTabs
