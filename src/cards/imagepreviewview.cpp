#include "imagepreviewview.h"

#include <QPainter>

ImagePreviewView::ImagePreviewView(QWidget *parent)
    : QWidget(parent)
{
    setMinimumSize(1, 1);
}

void ImagePreviewView::setImage(const QImage &image)
{
    m_image = image;
    // A file named "x@2x.png" is read with a pixel ratio of 2; it is still
    // shown pixel for pixel.
    m_image.setDevicePixelRatio(1.0);
    m_scaled = QPixmap();
    updateGeometry();
    update();
}

QSize ImagePreviewView::naturalSize() const
{
    if (m_image.isNull())
        return {};
    const qreal dpr = devicePixelRatioF();
    return QSize(qCeil(m_image.width() / dpr), qCeil(m_image.height() / dpr));
}

QRect ImagePreviewView::pictureRect() const
{
    const QSize natural = naturalSize();
    if (natural.isEmpty())
        return {};
    QSize shown = natural;
    if (natural.width() > width() || natural.height() > height())
        shown = natural.scaled(size(), Qt::KeepAspectRatio);
    QRect r(QPoint(0, 0), shown);
    r.moveCenter(rect().center());
    return r;
}

QSize ImagePreviewView::sizeHint() const
{
    const QSize natural = naturalSize();
    return natural.isEmpty() ? QWidget::sizeHint() : natural;
}

void ImagePreviewView::paintEvent(QPaintEvent *)
{
    const QRect target = pictureRect();
    if (target.isEmpty())
        return;
    const qreal dpr = devicePixelRatioF();
    const QSize pixels = (QSizeF(target.size()) * dpr).toSize();
    if (m_scaled.size() != pixels) {
        const QImage shown = pixels == m_image.size()
            ? m_image
            : m_image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        // 16-bit and grey pictures become the format the screen draws fastest.
        m_scaled = QPixmap::fromImage(shown.convertToFormat(shown.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                                                     : QImage::Format_RGB32));
    }
    m_scaled.setDevicePixelRatio(dpr);
    QPainter p(this);
    p.drawPixmap(target.topLeft(), m_scaled);
}
