#pragma once

#include <QAbstractButton>
#include <QMimeData>
#include <QColor>

class QMimeData;

// One chip of the folder bar: a capsule with a dot (when selected), a
// symbol and a title, in the chip's colour when selected. It takes card
// drops: while a drag that carries text or JSON hovers over it the capsule
// gets an accent outline, and a drop is handed on through `dropped`.
class FolderChip final : public QAbstractButton
{
    Q_OBJECT

public:
    FolderChip(const QString &symbol, const QString &title, const QColor &color, QWidget *parent = nullptr);

    void setSelected(bool selected);
    bool isSelected() const { return m_selected; }
    bool isDropTargeted() const { return m_dropTargeted; }
    QColor color() const { return m_color; }

    QSize sizeHint() const override;

signals:
    // A drag entered (true) or left (false) the chip.
    void dropHoverChanged(bool hovering);
    // Cards were dropped; set `accepted` to tell the drag how it ended.
    void dropped(const QMimeData *mime, bool *accepted);

protected:
    void paintEvent(QPaintEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void setDropTargeted(bool targeted);
    QFont titleFont() const;

    QString m_symbol;
    QColor m_color;
    bool m_selected = false;
    bool m_dropTargeted = false;
};
