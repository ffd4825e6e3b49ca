#include "folderchip.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>

#include "overlay/folderdrophandler.h"
#include "overlay/folderpalette.h"
#include "styling/symbolicons.h"

namespace {
constexpr int kPadX = 14;
constexpr int kPadY = 8;
constexpr int kDot = 8;
constexpr int kIcon = 13;
constexpr int kGap = 8;
} // namespace

FolderChip::FolderChip(const QString &symbol, const QString &title, const QColor &color, QWidget *parent)
    : QAbstractButton(parent)
    , m_symbol(symbol)
    , m_color(color)
{
    setText(title);
    setAcceptDrops(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
}

void FolderChip::setSelected(bool selected)
{
    if (m_selected == selected)
        return;
    m_selected = selected;
    updateGeometry();
    update();
}

QFont FolderChip::titleFont() const
{
    QFont f = font();
    f.setPixelSize(13);
    f.setWeight(m_selected ? QFont::DemiBold : QFont::Normal);
    return f;
}

QSize FolderChip::sizeHint() const
{
    const QFontMetrics fm(titleFont());
    int w = kPadX * 2 + kIcon + kGap + fm.horizontalAdvance(text());
    if (m_selected)
        w += kDot + kGap;
    return QSize(w, std::max(fm.height(), kIcon) + kPadY * 2);
}

void FolderChip::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(1, 1, -1, -1);
    QPainterPath capsule;
    capsule.addRoundedRect(r, r.height() / 2, r.height() / 2);
    painter.fillPath(capsule, m_selected ? QColor(255, 255, 255, 40) : QColor(255, 255, 255, underMouse() ? 24 : 14));
    QColor outline = m_selected ? m_color : QColor(255, 255, 255);
    outline.setAlphaF(m_selected ? 0.4 : 0.1);
    painter.setPen(QPen(outline, 1));
    painter.drawPath(capsule);
    if (m_dropTargeted) {
        QColor accent = FolderPalette::accent();
        accent.setAlphaF(0.5);
        painter.setPen(QPen(accent, 2));
        painter.drawPath(capsule);
    }

    qreal x = kPadX;
    const qreal cy = height() / 2.0;
    if (m_selected) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(m_color);
        painter.drawEllipse(QPointF(x + kDot / 2.0, cy), kDot / 2.0, kDot / 2.0);
        x += kDot + kGap;
    }
    const QPixmap icon = SymbolIcons::pixmap(m_symbol, kIcon, m_selected ? m_color : QColor(235, 235, 245, 153),
                                             devicePixelRatioF());
    painter.drawPixmap(QPointF(x, cy - kIcon / 2.0), icon);
    x += kIcon + kGap;
    painter.setFont(titleFont());
    painter.setPen(QColor(255, 255, 255, 235));
    painter.drawText(QRectF(x, 0, width() - x - kPadX + 2, height()), Qt::AlignVCenter | Qt::AlignLeft, text());
}

void FolderChip::setDropTargeted(bool targeted)
{
    if (m_dropTargeted == targeted)
        return;
    m_dropTargeted = targeted;
    update();
    emit dropHoverChanged(targeted);
}

void FolderChip::dragEnterEvent(QDragEnterEvent *event)
{
    const QMimeData *mime = event->mimeData();
    if (mime && (mime->hasText() || mime->hasFormat(QLatin1String(FolderDropHandler::kJsonMimeType)))) {
        event->acceptProposedAction();
        setDropTargeted(true);
    } else {
        event->ignore();
    }
}

void FolderChip::dragLeaveEvent(QDragLeaveEvent *)
{
    setDropTargeted(false);
}

void FolderChip::dropEvent(QDropEvent *event)
{
    setDropTargeted(false);
    bool accepted = false;
    emit dropped(event->mimeData(), &accepted);
    if (accepted)
        event->acceptProposedAction();
    else
        event->ignore();
}
