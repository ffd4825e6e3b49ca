#include "symbolicons.h"

#include <QDir>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

namespace SymbolIcons {

namespace {

QString resourcePath(const QString &name) { return QStringLiteral(":/icons/%1.svg").arg(name); }

QHash<QString, QPixmap> &cache()
{
    static QHash<QString, QPixmap> pixmaps;
    return pixmaps;
}

} // namespace

QStringList names()
{
    QStringList out;
    const auto entries = QDir(QStringLiteral(":/icons")).entryList({QStringLiteral("*.svg")}, QDir::Files, QDir::Name);
    for (const QString &file : entries)
        out << file.chopped(4);
    return out;
}

bool has(const QString &name) { return QFile::exists(resourcePath(name)); }

QPixmap pixmap(const QString &name, int size, const QColor &color, qreal dpr)
{
    const QString key = QStringLiteral("%1|%2|%3|%4").arg(name).arg(size).arg(color.rgba(), 8, 16).arg(dpr);
    auto &pixmaps = cache();
    if (auto it = pixmaps.constFind(key); it != pixmaps.constEnd())
        return *it;

    QSvgRenderer renderer(resourcePath(name));
    if (!renderer.isValid() || size <= 0)
        return {};
    const int px = qMax(1, qRound(size * dpr));
    QImage img(px, px, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        renderer.render(&p, QRectF(0, 0, px, px));
    }
    // Ink is how dark and opaque a pixel is: black strokes take the tint,
    // white strokes drawn over filled shapes become holes.
    const QRgb tint = color.rgb();
    const int tintAlpha = color.alpha();
    for (int y = 0; y < px; ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < px; ++x) {
            const QRgb s = line[x];
            const int ink = qAlpha(s) * (255 - qGray(s)) / 255;
            line[x] = qRgba(qRed(tint), qGreen(tint), qBlue(tint), ink * tintAlpha / 255);
        }
    }
    QPixmap out = QPixmap::fromImage(img);
    out.setDevicePixelRatio(dpr);
    pixmaps.insert(key, out);
    return out;
}

QIcon icon(const QString &name, const QColor &color)
{
    QIcon out;
    for (int size : {16, 24, 32, 48}) {
        out.addPixmap(pixmap(name, size, color), QIcon::Normal);
        QColor dim = color;
        dim.setAlphaF(color.alphaF() * 0.4f);
        out.addPixmap(pixmap(name, size, dim), QIcon::Disabled);
    }
    return out;
}

} // namespace SymbolIcons
