#include "clearhistorydialog.h"

#include <algorithm>

#include <QPushButton>

#include "store/clipboardstore.h"

ClearHistoryDialog::ClearHistoryDialog(ClipboardStore &store, QWidget *parent)
    : QMessageBox(parent)
{
    setWindowTitle(QStringLiteral("Effacer l’historique"));
    setText(QStringLiteral("Effacer l’historique"));
    setInformativeText(QStringLiteral("Les éléments épinglés ne seront jamais supprimés."));
    setIcon(QMessageBox::Warning);
    const QList<ClipboardItem> &items = store.items();
    m_recents = addButton(QStringLiteral("Effacer seulement les récents (%1)").arg(recentsCount(items)),
                          QMessageBox::DestructiveRole);
    m_all = addButton(QStringLiteral("Tout effacer même ceux dans les dossiers (%1)").arg(unpinnedCount(items)),
                      QMessageBox::DestructiveRole);
    m_cancel = addButton(QStringLiteral("Annuler"), QMessageBox::RejectRole);
    setDefaultButton(qobject_cast<QPushButton *>(m_cancel));
    setEscapeButton(m_cancel);
    // The store is reached at click time: the dialog never outlives it.
    connect(this, &QMessageBox::buttonClicked, this, [this, &store](QAbstractButton *button) {
        if (button == m_recents)
            store.clearRecents();
        else if (button == m_all)
            store.clearAll();
    });
}

int ClearHistoryDialog::recentsCount(const QList<ClipboardItem> &items)
{
    return int(std::count_if(items.cbegin(), items.cend(),
                             [](const ClipboardItem &i) { return !i.pinned && !i.folderId.has_value(); }));
}

int ClearHistoryDialog::unpinnedCount(const QList<ClipboardItem> &items)
{
    return int(std::count_if(items.cbegin(), items.cend(), [](const ClipboardItem &i) { return !i.pinned; }));
}
