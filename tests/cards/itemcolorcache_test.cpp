// The header colour chain (thumbnail, image, application icon, kind) and the
// two caches, with a counting icon lookup instead of the desktop's.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QSignalSpy>

#include "cards/appiconcolorcache.h"
#include "cards/cardthumbnails.h"
#include "cards/colorsampling.h"
#include "cards/itemcolorcache.h"
#include "model/clipboarditem.h"

namespace {

QByteArray png(const QColor &color, QSize size = QSize(16, 16))
{
    QImage img(size, QImage::Format_ARGB32);
    img.fill(color);
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "PNG");
    return bytes;
}

ClipboardItem clip(ClipKind kind)
{
    ClipboardItem item;
    item.id = QUuid::createUuid();
    item.kind = kind;
    item.raw = QByteArrayLiteral("hello");
    return item;
}

SrgbColor expected(const QColor &c)
{
    return ColorSampling::adjustedColor({c.redF(), c.greenF(), c.blueF(), 1}, 1.1, 1.0);
}

void expectNear(const SrgbColor &a, const SrgbColor &b, double tol = 1e-6)
{
    EXPECT_NEAR(a.r, b.r, tol);
    EXPECT_NEAR(a.g, b.g, tol);
    EXPECT_NEAR(a.b, b.b, tol);
}

class HeaderColour : public ::testing::Test
{
protected:
    int lookups = 0;
    QHash<QString, QImage> installed;
    AppIconColorCache icons{[this](const QString &id) -> std::optional<QImage> {
        ++lookups;
        if (installed.contains(id))
            return installed.value(id);
        return std::nullopt;
    }};
    CardThumbnails pictures;
    ItemColorCache colours{icons, pictures};
};

// Thumbnail first, then an image clip's own picture, then the source
// application's icon, then the kind's colour.
TEST_F(HeaderColour, ComesFromTheFirstSourceInTheChain)
{
    installed.insert(QStringLiteral("org.example.Editor"), QImage::fromData(png(QColor(240, 120, 20))));
    ClipboardItem file = clip(ClipKind::FileURL);
    file.thumbnailPNG = png(QColor(200, 30, 30));
    file.sourceBundleID = QStringLiteral("org.example.Editor");
    expectNear(colours.headerColor(file), expected(QColor(200, 30, 30)));
    EXPECT_EQ(lookups, 0);

    ClipboardItem image = clip(ClipKind::Image);
    image.thumbnailPNG = QByteArrayLiteral("not a png");
    image.raw = png(QColor(30, 180, 40));
    expectNear(colours.headerColor(image), expected(QColor(30, 180, 40)));

    ClipboardItem link = clip(ClipKind::Url);
    link.sourceBundleID = QStringLiteral("org.example.Editor");
    expectNear(colours.headerColor(link), expected(QColor(240, 120, 20)));

    ClipboardItem text = clip(ClipKind::Text);
    text.sourceBundleID = QStringLiteral("org.example.Missing");
    text.raw = png(QColor(30, 180, 40)); // a text clip never takes its colour from raw
    expectNear(colours.headerColor(text),
               ColorSampling::adjustedColor(ColorSampling::kindFallbackColor(ClipKind::Text), 1.1, 1.0));
}

// A large image is decoded on a worker: meanwhile the header has the kind's
// colour, not remembered, then the picture's.
TEST_F(HeaderColour, LargeImageTakesItsColourOnceDecodedOffTheMainThread)
{
    ClipboardItem item = clip(ClipKind::Image);
    item.raw = png(QColor(30, 180, 40), QSize(1600, 1200));
    QSignalSpy ready(&pictures, &CardThumbnails::pictureReady);
    expectNear(colours.headerColor(item),
               ColorSampling::adjustedColor(ColorSampling::kindFallbackColor(ClipKind::Image), 1.1, 1.0));
    EXPECT_TRUE(colours.headerByItem().isEmpty());
    ASSERT_TRUE(ready.wait(10000));
    expectNear(colours.headerColor(item), expected(QColor(30, 180, 40)));
    EXPECT_EQ(colours.headerByItem().size(), 1);
}

TEST_F(HeaderColour, SecondCardForSameIdReusesColourEvenAfterDataChanged)
{
    ClipboardItem item = clip(ClipKind::FileURL);
    const SrgbColor first = colours.headerColor(item);
    item.thumbnailPNG = png(QColor(200, 30, 30)); // a thumbnail arrives later
    EXPECT_EQ(colours.headerColor(item), first);
    EXPECT_EQ(colours.headerByItem().size(), 1);
}

TEST_F(HeaderColour, MissingAppIsAskedAgainInstalledAppOnlyOnceNoIdNever)
{
    ClipboardItem item = clip(ClipKind::Text);
    EXPECT_FALSE(icons.sourceAppIcon(item));
    EXPECT_EQ(lookups, 0);
    item.sourceBundleID = QStringLiteral("org.example.Later");
    EXPECT_FALSE(icons.sourceAppIcon(item));
    EXPECT_FALSE(icons.sourceAppIcon(item));
    EXPECT_EQ(lookups, 2);
    EXPECT_TRUE(icons.iconCache().isEmpty());

    installed.insert(QStringLiteral("org.example.Later"), QImage::fromData(png(Qt::red)));
    EXPECT_TRUE(icons.sourceAppIcon(item));
    EXPECT_TRUE(icons.sourceAppIcon(item));
    EXPECT_EQ(lookups, 3);
    EXPECT_EQ(icons.iconCache().size(), 1);
}

} // namespace
