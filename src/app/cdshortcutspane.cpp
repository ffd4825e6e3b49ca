#include "cdshortcutspane.h"

#include <QVBoxLayout>

#include "settingsgroup.h"
#include "shellstyle.h"

CDShortcutsPane::CDShortcutsPane(ShellContext &context, QWidget *parent)
    : QWidget(parent)
{
    QVBoxLayout *column = ShellStyle::paneColumn(this);
    auto *group = new SettingsGroup(QStringLiteral("Raccourcis"), this);
    if (context.makeShortcutRecorder)
        m_recorder = context.makeShortcutRecorder(this);
    ShellStyle::styleBordered(m_recorder);
    if (m_recorder)
        group->addRow(QStringLiteral("Raccourci pour l’Overlay"), m_recorder);
    column->addWidget(group);
    column->addStretch(1);
}
