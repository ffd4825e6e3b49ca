#pragma once

#include <QWidget>

#include "shellcontext.h"

class QLabel;

// The "Raccourcis" tab: the overlay shortcut and its recorder, or, when the
// desktop owns the shortcut, a notice saying to bind it to "bramblet toggle"
// there.
class CDShortcutsPane final : public QWidget
{
    Q_OBJECT

public:
    static inline const QString kDesktopOwnsShortcut =
        QStringLiteral("Sous Wayland, le raccourci appartient au bureau : liez-le à la commande **bramblet toggle**.");

    explicit CDShortcutsPane(ShellContext &context, QWidget *parent = nullptr);
    // The recorder button placed in the row (null when none could be built,
    // or when the desktop owns the shortcut).
    QWidget *recorder() const { return m_recorder; }
    // The notice shown when the desktop owns the shortcut, else null.
    QLabel *desktopNotice() const { return m_desktopNotice; }

private:
    QWidget *m_recorder = nullptr;
    QLabel *m_desktopNotice = nullptr;
};
