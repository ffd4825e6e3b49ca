#pragma once

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QUrl>

#include "model/clipboarditem.h"
#include "support/clipsamples.h"

// Clips of every kind as the capture makes them, for the card tests and the
// gallery (text clips come from ClipSamples).
namespace CardSamples {

inline QImage landscape(QSize size = QSize(480, 320))
{
    QImage img(size, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(40, 120, 220));
    sky.setColorAt(0.6, QColor(250, 170, 90));
    sky.setColorAt(1, QColor(250, 140, 60));
    p.fillRect(img.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 230, 140));
    p.drawEllipse(QPointF(size.width() * 0.7, size.height() * 0.55), size.height() * 0.12, size.height() * 0.12);
    p.setBrush(QColor(30, 90, 60));
    QPolygonF hills;
    hills << QPointF(0, size.height()) << QPointF(0, size.height() * 0.7) << QPointF(size.width() * 0.3, size.height() * 0.55)
          << QPointF(size.width() * 0.6, size.height() * 0.75) << QPointF(size.width(), size.height() * 0.6)
          << QPointF(size.width(), size.height());
    p.drawPolygon(hills);
    return img;
}

inline ClipboardItem base(ClipKind kind, double createdAt)
{
    ClipboardItem item;
    item.id = QUuid::createUuid();
    item.kind = kind;
    item.createdAt = createdAt;
    return item;
}

inline ClipboardItem rtf(double createdAt)
{
    ClipboardItem item = base(ClipKind::Rtf, createdAt);
    item.raw = QByteArrayLiteral("{\\rtf1\\ansi{\\fonttbl\\f0 Helvetica;}\\f0\\b Compte rendu\\b0\\par "
                                 "R\\'e9union de lundi : budget valid\\'e9, prochaine \\'e9tape en mai.\\par}");
    item.preview = QStringLiteral("Compte rendu\nRéunion de lundi : budget validé, prochaine étape en mai.\n");
    item.dataUTI = QStringLiteral("public.rtf");
    return item;
}

inline ClipboardItem url(double createdAt)
{
    ClipboardItem item = base(ClipKind::Url, createdAt);
    item.preview = QStringLiteral("https://www.example.org/articles/2024/les-nouveautes-du-presse-papiers?ref=bramblet");
    item.raw = item.preview.toUtf8();
    item.dataUTI = QStringLiteral("public.url");
    return item;
}

inline ClipboardItem image(double createdAt)
{
    ClipboardItem item = base(ClipKind::Image, createdAt);
    item.raw = ClipSamples::encoded(landscape(), "BMP");
    item.thumbnailPNG = ClipSamples::encoded(landscape(QSize(240, 160)));
    item.preview = QStringLiteral("Image");
    item.dataUTI = QStringLiteral("public.tiff");
    return item;
}

inline ClipboardItem imageFile(double createdAt)
{
    ClipboardItem item = base(ClipKind::FileURL, createdAt);
    item.fileURLString = QStringLiteral("file:///home/camille/Images/Coucher%20de%20soleil.PNG");
    item.fileName = QStringLiteral("Coucher de soleil.PNG");
    item.fileExt = QStringLiteral("PNG");
    item.raw = item.fileURLString->toUtf8();
    item.preview = *item.fileName;
    item.thumbnailPNG = ClipSamples::encoded(landscape(QSize(256, 170)));
    item.dataUTI = QStringLiteral("public.file-url");
    return item;
}

inline ClipboardItem otherFile(double createdAt)
{
    ClipboardItem item = base(ClipKind::FileURL, createdAt);
    item.fileURLString = QStringLiteral("file:///home/camille/Documents/Rapport%20annuel%202024%20-%20version%20finale%20relue.pdf");
    item.fileName = QStringLiteral("Rapport annuel 2024 - version finale relue.pdf");
    item.fileExt = QStringLiteral("pdf");
    item.raw = item.fileURLString->toUtf8();
    item.preview = *item.fileName;
    item.dataUTI = QStringLiteral("public.file-url");
    return item;
}

inline ClipboardItem unknown(double createdAt)
{
    ClipboardItem item = base(ClipKind::Unknown, createdAt);
    item.preview = QStringLiteral("Données d’un type inconnu");
    item.raw = QByteArray(2400, '\x01');
    return item;
}

inline QString codeSample()
{
    return QStringLiteral("// Somme des éléments\n"
                          "func total(_ values: [Double]) -> Double {\n"
                          "    var sum = 0.0 /* accumulateur */\n"
                          "    for v in values { sum += v * 1.5 }\n"
                          "    let label = \"Total : \\(sum)\"\n"
                          "    print(label)\n"
                          "    return sum\n"
                          "}\n");
}

} // namespace CardSamples
