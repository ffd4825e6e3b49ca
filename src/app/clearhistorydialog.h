#pragma once

#include <QList>
#include <QMessageBox>

#include "model/clipboarditem.h"

class ClipboardStore;
class QAbstractButton;

// The "Effacer l’historique" confirmation: the first button clears the recent
// clips (unpinned, in no folder), the second every unpinned clip, "Annuler"
// does nothing. The counts in the titles are taken when the dialog is built.
class ClearHistoryDialog final : public QMessageBox
{
    Q_OBJECT

public:
    explicit ClearHistoryDialog(ClipboardStore &store, QWidget *parent = nullptr);

    // Clips neither pinned nor in a folder.
    static int recentsCount(const QList<ClipboardItem> &items);
    // Clips not pinned.
    static int unpinnedCount(const QList<ClipboardItem> &items);

    QAbstractButton *recentsButton() const { return m_recents; }
    QAbstractButton *allButton() const { return m_all; }
    QAbstractButton *cancelButton() const { return m_cancel; }

private:
    QAbstractButton *m_recents;
    QAbstractButton *m_all;
    QAbstractButton *m_cancel;
};
