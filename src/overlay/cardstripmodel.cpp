#include "cardstripmodel.h"

#include "store/clipboardstore.h"

CardStripModel::CardStripModel(ClipboardStore &store, QObject *parent)
    : QAbstractListModel(parent)
    , m_store(store)
    , m_items(store.visibleItems())
    , m_selection(store.selection())
{
    rebuildRows();
    connect(&store, &ClipboardStore::itemsChanged, this, &CardStripModel::refresh);
    connect(&store, &ClipboardStore::currentFolderChanged, this, &CardStripModel::refresh);
    connect(&store, &ClipboardStore::searchQueryChanged, this, &CardStripModel::refresh);
    connect(&store, &ClipboardStore::selectionChanged, this, &CardStripModel::onSelectionChanged);
}

int CardStripModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_items.size());
}

QVariant CardStripModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const ClipboardItem &item = m_items[index.row()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return item.preview;
    case ItemRole:
        return QVariant::fromValue(item);
    case IdRole:
        return item.id;
    case SelectedRole:
        return m_selection.contains(item.id);
    default:
        return {};
    }
}

QHash<int, QByteArray> CardStripModel::roleNames() const
{
    QHash<int, QByteArray> names = QAbstractListModel::roleNames();
    names.insert(ItemRole, "item");
    names.insert(IdRole, "id");
    names.insert(SelectedRole, "selected");
    return names;
}

const ClipboardItem *CardStripModel::itemAt(int row) const
{
    return row >= 0 && row < m_items.size() ? &m_items[row] : nullptr;
}

int CardStripModel::rowOf(const QUuid &id) const
{
    return m_rows.value(id, -1);
}

bool CardStripModel::isSelected(int row) const
{
    const ClipboardItem *item = itemAt(row);
    return item && m_selection.contains(item->id);
}

void CardStripModel::rebuildRows()
{
    m_rows.clear();
    m_rows.reserve(m_items.size());
    for (int i = 0; i < m_items.size(); ++i)
        m_rows.insert(m_items[i].id, i);
}

void CardStripModel::refresh()
{
    const QList<ClipboardItem> target = m_store.visibleItems();
    QSet<QUuid> targetIds;
    QList<QUuid> order;
    targetIds.reserve(target.size());
    for (const ClipboardItem &item : target)
        targetIds.insert(item.id);
    removeMissing(targetIds);
    for (const ClipboardItem &item : target) {
        if (m_rows.contains(item.id))
            order.append(item.id);
    }
    reorderTo(order);
    insertNew(target);
    updateContents(target);
}

void CardStripModel::removeMissing(const QSet<QUuid> &keep)
{
    // From the back, one contiguous run at a time, so earlier rows keep their numbers.
    int row = int(m_items.size()) - 1;
    while (row >= 0) {
        if (keep.contains(m_items[row].id)) {
            --row;
            continue;
        }
        const int last = row;
        while (row > 0 && !keep.contains(m_items[row - 1].id))
            --row;
        beginRemoveRows(QModelIndex(), row, last);
        m_items.remove(row, last - row + 1);
        endRemoveRows();
        --row;
    }
    rebuildRows();
}

void CardStripModel::reorderTo(const QList<QUuid> &order)
{
    bool same = true;
    for (int i = 0; i < order.size() && same; ++i)
        same = m_items[i].id == order[i];
    if (same)
        return;

    // One clip moved (the usual case: a clip bumped to the top) is a row move.
    const int n = int(order.size());
    int first = 0;
    while (first < n && m_items[first].id == order[first])
        ++first;
    int last = n - 1;
    while (last > first && m_items[last].id == order[last])
        --last;
    if (m_items[last].id == order[first]) {
        bool shifted = true;
        for (int i = first; i < last && shifted; ++i)
            shifted = m_items[i].id == order[i + 1];
        if (shifted) {
            beginMoveRows(QModelIndex(), last, last, QModelIndex(), first);
            m_items.move(last, first);
            endMoveRows();
            rebuildRows();
            return;
        }
    }
    if (m_items[first].id == order[last]) {
        bool shifted = true;
        for (int i = first + 1; i <= last && shifted; ++i)
            shifted = m_items[i].id == order[i - 1];
        if (shifted) {
            beginMoveRows(QModelIndex(), first, first, QModelIndex(), last + 1);
            m_items.move(first, last);
            endMoveRows();
            rebuildRows();
            return;
        }
    }

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QList<QUuid> beforeIds;
    beforeIds.reserve(before.size());
    for (const QModelIndex &index : before)
        beforeIds.append(m_items[index.row()].id);
    QList<ClipboardItem> reordered;
    reordered.reserve(n);
    for (const QUuid &id : order)
        reordered.append(m_items[m_rows.value(id)]);
    m_items = std::move(reordered);
    rebuildRows();
    QModelIndexList after;
    after.reserve(before.size());
    for (int i = 0; i < before.size(); ++i)
        after.append(index(m_rows.value(beforeIds[i]), before[i].column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void CardStripModel::insertNew(const QList<ClipboardItem> &target)
{
    if (target.size() == m_items.size())
        return;
    // m_items is now target with some clips missing, in target order.
    int i = 0;
    while (i < target.size()) {
        if (i < m_items.size() && m_items[i].id == target[i].id) {
            ++i;
            continue;
        }
        int end = i;
        while (end < target.size() && !m_rows.contains(target[end].id))
            ++end;
        beginInsertRows(QModelIndex(), i, end - 1);
        for (int k = i; k < end; ++k)
            m_items.insert(k, target[k]);
        endInsertRows();
        for (int k = i; k < end; ++k)
            m_rows.insert(target[k].id, k);
        i = end;
    }
    rebuildRows();
}

void CardStripModel::updateContents(const QList<ClipboardItem> &target)
{
    int first = -1;
    int last = -1;
    for (int i = 0; i < target.size(); ++i) {
        if (m_items[i] == target[i])
            continue;
        m_items[i] = target[i];
        if (first < 0)
            first = i;
        last = i;
    }
    if (first >= 0)
        emit dataChanged(index(first), index(last));
}

void CardStripModel::onSelectionChanged()
{
    const QSet<QUuid> now = m_store.selection();
    int first = -1;
    int last = -1;
    const auto touch = [&](const QUuid &id) {
        const int row = m_rows.value(id, -1);
        if (row < 0)
            return;
        first = first < 0 ? row : std::min(first, row);
        last = std::max(last, row);
    };
    for (const QUuid &id : std::as_const(m_selection)) {
        if (!now.contains(id))
            touch(id);
    }
    for (const QUuid &id : now) {
        if (!m_selection.contains(id))
            touch(id);
    }
    m_selection = now;
    if (first >= 0)
        emit dataChanged(index(first), index(last), {SelectedRole});
}
