#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>

// Shows one picture at its natural size in device pixels, centred, scaled
// down (never up) only when the widget is smaller. The scaled picture is
// computed from the widget's size at paint time, so it is right whenever and
// however the widget is laid out. Main thread only.
class ImagePreviewView final : public QWidget
{
    Q_OBJECT

public:
    explicit ImagePreviewView(QWidget *parent = nullptr);

    // The picture's own pixel ratio and resolution are ignored: one image
    // pixel is one device pixel.
    void setImage(const QImage &image);
    const QImage &image() const { return m_image; }

    // The picture's size in this widget's logical pixels when not scaled.
    QSize naturalSize() const;
    // Where the picture is drawn at the widget's current size (logical pixels).
    QRect pictureRect() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_image;
    QPixmap m_scaled; // m_image at the size last drawn
};
