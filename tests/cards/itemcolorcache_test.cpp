// The header colour chain (thumbnail, image, application icon, kind) and the
// two caches, with a counting icon lookup instead of the desktop's.
#include <gtest/gtest.h>


#include "cards/appiconcolorcache.h"
#include "cards/cardthumbnails.h"
#include "cards/colorsampling.h"
#include "cards/itemcolorcache.h"
#include "cardsamples.h"

namespace {

// The header colour a picture of one colour gives, or a kind without one.
SrgbColor header(const QColor &c)
{
    return ColorSampling::adjustedColor({c.redF(), c.greenF(), c.blueF(), 1}, 1.1, 1.0);
}
SrgbColor header(ClipKind kind)
{
    return ColorSampling::adjustedColor(ColorSampling::kindFallbackColor(kind), 1.1, 1.0);
}

void expectNear(const SrgbColor &a, const SrgbColor &b)
{
    EXPECT_NEAR(a.r, b.r, 1e-6);
    EXPECT_NEAR(a.g, b.g, 1e-6);
    EXPECT_NEAR(a.b, b.b, 1e-6);
}

class HeaderColour : public ::testing::Test
{
protected:
    ClipboardItem clip(ClipKind kind, const char *app = nullptr)
    {
        ClipboardItem item = CardSamples::clip(kind, "hello");
        if (app)
            item.sourceBundleID = QString::fromLatin1(app);
        return item;
    }

    int lookups = 0;
    QHash<QString, QImage> installed;
    AppIconColorCache icons{[this](const QString &id) -> std::optional<QImage> {
        ++lookups;
        return installed.contains(id) ? std::optional(installed.value(id)) : std::nullopt;
    }};
    CardThumbnails pictures;
    ItemColorCache colours{icons, pictures};
};

// Thumbnail first, then an image clip's own picture, then the source
// application's icon, then the kind's colour; one colour per clip id, kept
// even when a thumbnail arrives later.
TEST_F(HeaderColour, ComesFromTheFirstSourceInTheChainAndIsKeptPerClip)
{
    installed.insert(QStringLiteral("org.example.Editor"), QImage::fromData(ClipSamples::png(16, 16, QColor(240, 120, 20))));
    ClipboardItem file = clip(ClipKind::FileURL, "org.example.Editor");
    file.thumbnailPNG = ClipSamples::png(16, 16, QColor(200, 30, 30));
    expectNear(colours.headerColor(file), header(QColor(200, 30, 30)));
    EXPECT_EQ(lookups, 0);

    ClipboardItem image = clip(ClipKind::Image);
    image.thumbnailPNG = QByteArrayLiteral("not a png");
    image.raw = ClipSamples::png(16, 16, QColor(30, 180, 40));
    expectNear(colours.headerColor(image), header(QColor(30, 180, 40)));
    expectNear(colours.headerColor(clip(ClipKind::Url, "org.example.Editor")), header(QColor(240, 120, 20)));

    ClipboardItem text = clip(ClipKind::Text, "org.example.Missing");
    text.raw = image.raw; // a text clip never takes its colour from raw
    const SrgbColor first = colours.headerColor(text);
    expectNear(first, header(ClipKind::Text));
    text.thumbnailPNG = file.thumbnailPNG;
    EXPECT_EQ(colours.headerColor(text), first);
    EXPECT_EQ(colours.headerByItem().size(), 4);
}

} // namespace
