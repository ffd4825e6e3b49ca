// Renders every kind of card (and the pinned and selected variants), alone
// and as a strip, to the screenshots of docs/screenshots.
#include <gtest/gtest.h>

#include <QPainter>

#include "cards/cardview.h"
#include "cardsamples.h"
#include "model/referencedate.h"
#include "platform/fake/fakeclock.h"
#include "support/screenshot.h"
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

QList<std::tuple<QString, ClipboardItem, CardState>> samples()
{
    auto ago = [](double s) { return referenceDateFromUnix(kNow - s); };
    ClipboardItem text = ClipSamples::text(QStringLiteral(
        "Bonjour à tous,\n\nla réunion de demain est déplacée à 14 h 30 en salle Garance. "
        "Pensez à apporter vos notes du dernier atelier.\n\nBonne soirée !"), ago(5 * 60));
    text.sourceBundleID = QStringLiteral("org.example.Notes");
    const QString code = QStringLiteral("// Somme des éléments\nfunc total(_ values: [Double]) -> Double {\n"
                                        "    var sum = 0.0 /* accumulateur */\n    for v in values { sum += v * 1.5 }\n"
                                        "    let label = \"Total : \\(sum)\"\n    print(label)\n    return sum\n}\n");
    ClipboardItem link = CardSamples::url(ago(20 * 60));
    link.sourceBundleID = QStringLiteral("example-notes"); // a WM_CLASS class resolves too
    ClipboardItem pinned = text, pinnedImage = CardSamples::image(ago(9 * 86400));
    pinned.pinned = pinnedImage.pinned = true;
    return {{"text", text, {}},
            {"code", ClipSamples::text(code, ago(2 * 3600)), {}},
            {"colour", ClipSamples::text(QStringLiteral("color: #5E5CE6;"), ago(40)), {}},
            {"rtf", CardSamples::rtf(ago(3 * 86400)), {}},
            {"link", link, {}},
            {"image", CardSamples::image(ago(9 * 86400)), {}},
            {"image-file", CardSamples::file("Images", "Coucher de soleil.PNG", ago(45 * 86400)), {}},
            {"other-file",
             CardSamples::file("Documents", "Rapport annuel 2024 - version finale relue.pdf", ago(400 * 86400)), {}},
            {"unknown", CardSamples::clip(ClipKind::Unknown, QByteArray(2400, '\x01'),
                                          QStringLiteral("Données d’un type inconnu"), {}, ago(12)), {}},
            {"image-unreadable", CardSamples::clip(ClipKind::Image, "not an image", {}, {}, ago(70)), {}},
            {"text-pinned", pinned, {}},
            {"text-selected", text, {.selected = true}},
            {"image-pinned-selected", pinnedImage, {.selected = true}}};
}

// Cards side by side on a piece of the overlay's glass, as the strip shows them.
QImage renderOnGlass(const QList<std::tuple<QString, ClipboardItem, CardState>> &cards, int margin, bool panel)
{
    static FakeClock clock(kNow);
    const CardView view(clock);
    const int gap = 14;
    const QMargins m = CardView::paintMargins() + QMargins(margin, margin, margin, margin);
    const QSize logical(m.left() + cards.size() * (CardView::kCardWidth + gap) - gap + m.right(),
                        m.top() + CardView::cardSize().height() + m.bottom());
    QImage img(logical * kScale, QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(kScale);
    img.fill(panel ? QColor(24, 26, 31) : QColor(34, 36, 42));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, !panel);
    GlassPanelBackground glass;
    if (!panel)
        glass.cornerRadius = 0;
    glass.paint(p, panel ? QRectF(QPointF(2, 2), QSizeF(logical) - QSizeF(4, 4)) : QRectF(QPointF(0, 0), QSizeF(logical)),
                false);
    for (int i = 0; i < cards.size(); ++i)
        view.paint(p, QRect(QPoint(m.left() + i * (CardView::kCardWidth + gap), m.top()), CardView::cardSize()),
                   std::get<1>(cards[i]), std::get<2>(cards[i]));
    p.end();
    return img;
}

TEST(CardGallery, EveryKindRendersVariantsDifferAndTheStripIsSaved)
{
    ASSERT_TRUE(kDataPathSet);
    const auto all = samples();
    QHash<QString, QImage> rendered;
    for (const auto &sample : all) {
        const QImage img = renderOnGlass({sample}, 8, false);
        EXPECT_TRUE(saveScreenshot(img, QStringLiteral("cards-%1.png").arg(std::get<0>(sample))));
        rendered.insert(std::get<0>(sample), img);
    }
    EXPECT_NE(rendered["text"], rendered["text-pinned"]);
    EXPECT_NE(rendered["text"], rendered["text-selected"]);
    EXPECT_NE(rendered["image"], rendered["image-unreadable"]);

    // The sample application's orange icon overhangs the text card's corner.
    const QMargins m = CardView::paintMargins() + QMargins(8, 8, 8, 8);
    int orange = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x) {
            const QColor c = rendered["text"].pixelColor(int((m.left() + CardView::kCardWidth - 60 + x) * kScale),
                                                         int((m.top() - 8 + y) * kScale));
            orange += c.red() > 200 && c.green() > 100 && c.green() < 220 && c.blue() < 80;
        }
    EXPECT_GT(orange, 50);

    auto strip = QList{all[0], all[1], all[2], all[4], all[5]};
    std::get<2>(strip[1]).selected = true;
    EXPECT_TRUE(saveScreenshot(renderOnGlass(strip, 10, true), QStringLiteral("cards-strip.png")));
}

} // namespace
