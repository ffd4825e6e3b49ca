#include "cdshortcutspane.h"

#include <QLabel>
#include <QVBoxLayout>

#include "settingsgroup.h"
#include "shellstyle.h"

namespace {

// The bold run is the command to bind: it stays on one line, so it never
// reads as two words to type.
QString noticeMarkup()
{
    return ShellStyle::boldMarkup(CDShortcutsPane::kDesktopOwnsShortcut)
        .replace(QStringLiteral("<b>"), QStringLiteral("<b style=\"white-space:nowrap\">"));
}

} // namespace

CDShortcutsPane::CDShortcutsPane(ShellContext &context, QWidget *parent)
    : QWidget(parent)
{
    QVBoxLayout *column = ShellStyle::paneColumn(this);
    auto *group = new SettingsGroup(QStringLiteral("Raccourcis"), this);
    if (context.shortcutOwnedByDesktop) {
        group->addRow(QStringLiteral("Raccourci pour l’Overlay"),
                      ShellStyle::label(QStringLiteral("Géré par le bureau"), ShellStyle::TextStyle::Body, true));
        m_desktopNotice = ShellStyle::label(noticeMarkup(), ShellStyle::TextStyle::Callout, true);
        m_desktopNotice->setTextFormat(Qt::RichText);
        m_desktopNotice->setWordWrap(true);
        m_desktopNotice->setTextInteractionFlags(Qt::TextSelectableByMouse);
        group->addRowLayout()->addWidget(m_desktopNotice, 1);
    } else {
        if (context.makeShortcutRecorder)
            m_recorder = context.makeShortcutRecorder(this);
        ShellStyle::styleBordered(m_recorder);
        if (m_recorder)
            group->addRow(QStringLiteral("Raccourci pour l’Overlay"), m_recorder);
    }
    column->addWidget(group);
    column->addStretch(1);
}
