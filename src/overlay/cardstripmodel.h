#pragma once

#include <QAbstractListModel>
#include <QHash>
#include <QList>
#include <QSet>
#include <QUuid>

#include "model/clipboarditem.h"

class ClipboardStore;

// The strip's rows: the store's visibleItems (current folder, search filter,
// newest first), kept in step with the store through the smallest row
// changes it can find (removals, a reordering, insertions, content updates),
// so the view keeps its scroll position and only repaints what changed.
// Selection changes become dataChanged on the affected rows. Main thread only.
class CardStripModel final : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role {
        ItemRole = Qt::UserRole + 1, // the ClipboardItem
        IdRole,                      // QUuid
        SelectedRole,                // bool: the id is in the store's selection
    };

    // `store` must outlive the model.
    explicit CardStripModel(ClipboardStore &store, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    // The clip shown in `row`; null when out of range.
    const ClipboardItem *itemAt(int row) const;
    // The row showing `id`; -1 when it is not shown.
    int rowOf(const QUuid &id) const;
    bool isSelected(int row) const;

    // Re-reads the store's visible list. Connected to the store's item,
    // folder and search signals; public for callers that batch changes.
    void refresh();

private:
    void onSelectionChanged();
    void rebuildRows();
    void removeMissing(const QSet<QUuid> &keep);
    void reorderTo(const QList<QUuid> &order);
    void insertNew(const QList<ClipboardItem> &target);
    void updateContents(const QList<ClipboardItem> &target);

    ClipboardStore &m_store;
    QList<ClipboardItem> m_items;
    QHash<QUuid, int> m_rows;
    QSet<QUuid> m_selection;
};
