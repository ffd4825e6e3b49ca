#pragma once

#include <QColor>
#include <QWidget>

class QVariantAnimation;

// One large target of the folder overlay: a 100 px rounded tile with the
// symbol, the name underneath. Hovered tiles fill with their colour, glow and
// grow by a tenth (animated with a little overshoot). Entering logs
// "🎯 TARGET '<name>': hover=true" and reports `hovered`; leaving logs
// hover=false only; a click logs "🎯 TARGET '<name>': tapped!" and reports
// `tapped`.
class FolderDropTarget final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kTile = 100;
    static constexpr int kNameWidth = 120;

    FolderDropTarget(const QString &symbol, const QString &name, const QColor &color, QWidget *parent = nullptr);

    void setHovered(bool hovered);
    bool isHovered() const { return m_hovered; }
    QString name() const { return m_name; }
    QSize sizeHint() const override;

signals:
    void hovered();
    void tapped();

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QString m_symbol;
    QString m_name;
    QColor m_color;
    bool m_hovered = false;
    qreal m_scale = 1.0;
    QVariantAnimation *m_scaleAnimation;
};
