#include "cardcontextmenu.h"

#include <QMenu>
#include <QPointer>

#include "model/clipboarditem.h"
#include "store/clipboardstore.h"
#include "styling/symbolicons.h"

namespace CardContextMenu {

QMenu *create(ClipboardStore &store, const ClipboardItem &item, QWidget *parent)
{
    auto *menu = new QMenu(parent);
    const QUuid id = item.id;
    QPointer<ClipboardStore> storeRef(&store);

    // The pin label follows the store's record when it has one: the copy the
    // caller holds may be older than the last toggle.
    bool pinned = item.pinned;
    for (const ClipboardItem &live : store.items()) {
        if (live.id == id) {
            pinned = live.pinned;
            break;
        }
    }
    QAction *pin = menu->addAction(pinned ? QStringLiteral("Désépingler") : QStringLiteral("Épingler"));
    pin->setIcon(SymbolIcons::icon(pinned ? QStringLiteral("pin") : QStringLiteral("pin.fill"), QColor(60, 60, 67)));
    QObject::connect(pin, &QAction::triggered, menu, [storeRef, id] {
        if (storeRef)
            storeRef->togglePin(id);
    });

    menu->addSeparator();

    QMenu *move = menu->addMenu(QStringLiteral("Déplacer vers…"));
    auto idsToMove = [storeRef, id]() -> QSet<QUuid> {
        if (storeRef && storeRef->selection().contains(id))
            return storeRef->selection();
        return {id};
    };
    QAction *all = move->addAction(QStringLiteral("Tous"));
    QObject::connect(all, &QAction::triggered, menu, [storeRef, idsToMove] {
        if (storeRef)
            storeRef->assign(idsToMove(), std::nullopt);
    });
    move->addSeparator();
    for (const ClipboardFolder &folder : store.folders()) {
        QAction *a = move->addAction(folder.name);
        a->setIcon(SymbolIcons::icon(QStringLiteral("folder.fill"), QColor(60, 60, 67)));
        QObject::connect(a, &QAction::triggered, menu, [storeRef, idsToMove, folder] {
            if (storeRef)
                storeRef->assign(idsToMove(), folder);
        });
    }

    menu->addSeparator();

    QAction *remove = menu->addAction(QStringLiteral("Supprimer"));
    remove->setIcon(SymbolIcons::icon(QStringLiteral("trash"), QColor(255, 59, 48)));
    QObject::connect(remove, &QAction::triggered, menu, [storeRef, id] {
        if (!storeRef)
            return;
        if (!storeRef->selection().contains(id))
            storeRef->setSelection({id});
        storeRef->deleteSelectedItems();
    });
    return menu;
}

} // namespace CardContextMenu
