#pragma once

#include <functional>

#include <QPixmap>
#include <QSet>
#include <QUuid>
#include <QWidget>

#include "model/clipboarditem.h"

class CardStripDelegate;
class CardStripModel;
class CardStripView;
class Clock;
class ClipboardStore;
class DragFoldersOverlay;
class FolderChipsBar;
class LongPressController;

// The content of the overlay panel: a rounded glass card holding the folder
// chips bar, a divider, the strip of clip cards and a second divider, with
// the folder-target layer of the long press above it all. It turns clicks on
// cards into selection changes (Ctrl adds or removes), a double click into
// choosing the clip, keeps the selected card centred, and runs the long
// press. It changes nothing but the store. Main thread only.
class OverlayRootView final : public QWidget
{
    Q_OBJECT

public:
    // `store` and `clock` must outlive the view.
    OverlayRootView(ClipboardStore &store, Clock &clock, QWidget *parent = nullptr);
    ~OverlayRootView() override;

    // Called with the clip on a double click (the panel's choose step).
    void setChooseHandler(std::function<void(const ClipboardItem &)> handler) { m_choose = std::move(handler); }

    // A single click on the card of `id`: with Ctrl (in `modifiers`) toggles
    // it in the selection, otherwise makes it the only selection. Logs the
    // "👆 TAP" lines.
    void tap(const QUuid &id, Qt::KeyboardModifiers modifiers);
    // A double click on the card of `id`.
    void doubleTap(const QUuid &id);

    // "["AAAAAAAA", "BBBBBBBB"]": 8-character id prefixes in the set's order.
    static QString selectionLogText(const QSet<QUuid> &selection);

    FolderChipsBar *chipsBar() const { return m_chipsBar; }
    CardStripView *strip() const { return m_strip; }
    CardStripModel *stripModel() const { return m_model; }
    LongPressController *longPress() const { return m_longPress; }
    DragFoldersOverlay *foldersOverlay() const { return m_overlay; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void onSelectionChanged();
    void onDraggingChanged(bool dragging);
    QRect mainCardRect() const;

    ClipboardStore &m_store;
    Clock &m_clock;
    CardStripModel *m_model;
    CardStripDelegate *m_delegate;
    FolderChipsBar *m_chipsBar;
    CardStripView *m_strip;
    LongPressController *m_longPress;
    DragFoldersOverlay *m_overlay;
    std::function<void(const ClipboardItem &)> m_choose;
    QPixmap m_background;
    bool m_backgroundTranslucent = false;
};
