// Renders every kind of card (and the pinned and selected variants) to PNG.
// With BRAMBLET_SCREENSHOT_DIR set the pictures go there (docs/screenshots
// is made this way); otherwise to a temporary folder, checked and dropped.
#include <gtest/gtest.h>

#include <QDir>
#include <QPainter>
#include <QTemporaryDir>

#include "cards/cardview.h"
#include "cardsamples.h"
#include "model/referencedate.h"
#include "platform/fake/fakeclock.h"
#include "support/clipsamples.h"
#include "styling/glassmaterial.h"
#include "styling/glasspanelbackground.h"

namespace {

// The sample application (desktop entry + SVG icon) lives in tests/cards/data;
// it must be on the data path before the icon cache is first built.
const bool kDataPathSet = [] {
    qputenv("XDG_DATA_HOME", QByteArray(CARDS_TEST_DATA));
    return true;
}();

constexpr double kNow = 1'700'000'000.0;
constexpr qreal kScale = 2.0;

struct Sample
{
    QString name;
    ClipboardItem item;
    CardState state;
};

QList<Sample> samples()
{
    auto ago = [](double s) { return referenceDateFromUnix(kNow - s); };
    QList<Sample> out;
    ClipboardItem text = ClipSamples::text(QStringLiteral(
        "Bonjour à tous,\n\nla réunion de demain est déplacée à 14 h 30 en salle Garance. "
        "Pensez à apporter vos notes du dernier atelier.\n\nBonne soirée !"), ago(5 * 60));
    text.sourceBundleID = QStringLiteral("org.example.Notes");
    out.append({QStringLiteral("text"), text, {}});
    out.append({QStringLiteral("code"), ClipSamples::text(CardSamples::codeSample(), ago(2 * 3600)), {}});
    out.append({QStringLiteral("colour"), ClipSamples::text(QStringLiteral("color: #5E5CE6;"), ago(40)), {}});
    out.append({QStringLiteral("rtf"), CardSamples::rtf(ago(3 * 86400)), {}});
    ClipboardItem link = CardSamples::url(ago(20 * 60));
    link.sourceBundleID = QStringLiteral("example-notes"); // a WM_CLASS class resolves too
    out.append({QStringLiteral("link"), link, {}});
    out.append({QStringLiteral("image"), CardSamples::image(ago(9 * 86400)), {}});
    out.append({QStringLiteral("image-file"), CardSamples::imageFile(ago(45 * 86400)), {}});
    out.append({QStringLiteral("other-file"), CardSamples::otherFile(ago(400 * 86400)), {}});
    out.append({QStringLiteral("unknown"), CardSamples::unknown(ago(12)), {}});
    ClipboardItem broken = CardSamples::base(ClipKind::Image, ago(70));
    broken.raw = QByteArrayLiteral("not an image");
    out.append({QStringLiteral("image-unreadable"), broken, {}});
    ClipboardItem pinned = text;
    pinned.pinned = true;
    out.append({QStringLiteral("text-pinned"), pinned, {}});
    out.append({QStringLiteral("text-selected"), text, {.selected = true}});
    ClipboardItem pinnedImage = out[5].item;
    pinnedImage.pinned = true;
    out.append({QStringLiteral("image-pinned-selected"), pinnedImage, {.selected = true}});
    return out;
}

// One card on a piece of the overlay's glass, as the strip shows it.
QImage renderOnGlass(const CardView &view, const ClipboardItem &item, const CardState &state)
{
    const QMargins m = CardView::paintMargins() + QMargins(8, 8, 8, 8);
    const QSize logical = CardView::cardSize().grownBy(m);
    QImage img(logical * kScale, QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(kScale);
    img.fill(QColor(34, 36, 42));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    GlassPanelBackground glass;
    glass.cornerRadius = 0;
    glass.paint(p, QRectF(QPointF(0, 0), QSizeF(logical)), false);
    view.paint(p, QRect(QPoint(m.left(), m.top()), CardView::cardSize()), item, state);
    return img;
}

QString outputDir(QTemporaryDir &fallback)
{
    const QString dir = qEnvironmentVariable("BRAMBLET_SCREENSHOT_DIR");
    if (dir.isEmpty())
        return fallback.path();
    QDir().mkpath(dir);
    return dir;
}

TEST(CardGallery, EveryKindRendersAndVariantsDiffer)
{
    ASSERT_TRUE(kDataPathSet);
    QTemporaryDir tmp;
    const QString dir = outputDir(tmp);
    FakeClock clock(kNow);
    const CardView view(clock);

    QHash<QString, QImage> rendered;
    for (const Sample &s : samples()) {
        const QImage img = renderOnGlass(view, s.item, s.state);
        ASSERT_FALSE(img.isNull());
        const QString path = QDir(dir).filePath(QStringLiteral("cards-%1.png").arg(s.name));
        ASSERT_TRUE(img.save(path)) << qPrintable(path);
        rendered.insert(s.name, img);
    }
    EXPECT_NE(rendered[QStringLiteral("text")], rendered[QStringLiteral("text-pinned")]);
    EXPECT_NE(rendered[QStringLiteral("text")], rendered[QStringLiteral("text-selected")]);
    EXPECT_NE(rendered[QStringLiteral("image")], rendered[QStringLiteral("image-unreadable")]);

    // The sample application's orange icon overhangs the text card's corner.
    const QImage &text = rendered[QStringLiteral("text")];
    const QMargins m = CardView::paintMargins() + QMargins(8, 8, 8, 8);
    int orange = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x) {
            const QColor c = text.pixelColor(int((m.left() + CardView::kCardWidth - 60 + x) * kScale),
                                             int((m.top() - 8 + y) * kScale));
            orange += c.red() > 200 && c.green() > 100 && c.green() < 220 && c.blue() < 80;
        }
    EXPECT_GT(orange, 50);
}

TEST(CardGallery, StripOfCards)
{
    QTemporaryDir tmp;
    const QString dir = outputDir(tmp);
    FakeClock clock(kNow);
    const CardView view(clock);
    const QList<Sample> all = samples();
    const QList<int> picks{0, 1, 2, 4, 5};
    const int gap = 14;
    const QMargins m = CardView::paintMargins() + QMargins(10, 10, 10, 10);
    const QSize logical(m.left() + picks.size() * (CardView::kCardWidth + gap) - gap + m.right(),
                        m.top() + CardView::cardSize().height() + m.bottom());
    QImage img(logical * kScale, QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(kScale);
    img.fill(QColor(24, 26, 31));
    QPainter p(&img);
    GlassPanelBackground::overlayCard().paint(p, QRectF(QPointF(2, 2), QSizeF(logical) - QSizeF(4, 4)), false);
    for (int i = 0; i < picks.size(); ++i) {
        const Sample &s = all[picks[i]];
        view.paint(p, QRect(QPoint(m.left() + i * (CardView::kCardWidth + gap), m.top()), CardView::cardSize()), s.item,
                   {.selected = i == 1});
    }
    p.end();
    EXPECT_TRUE(img.save(QDir(dir).filePath(QStringLiteral("cards-strip.png"))));
}

} // namespace
