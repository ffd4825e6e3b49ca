// Card painting cost once a clip's header colour is cached (the target is
// under 1 ms per card), and the pieces behind it.
#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "cards/cardview.h"
#include "cards/colorsampling.h"
#include "cards/contentdecoration.h"
#include "cards/itemcolorcache.h"
#include "model/clipboarditem.h"
#include "model/referencedate.h"
#include "platform/fake/fakeclock.h"

namespace {

constexpr double kNow = 1'700'000'000.0;

QByteArray png(QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, size.width(), size.height());
    g.setColorAt(0, QColor(40, 120, 220));
    g.setColorAt(1, QColor(250, 150, 60));
    p.fillRect(img.rect(), g);
    p.end();
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "PNG");
    return bytes;
}

QString codeText()
{
    QString s;
    while (s.size() < 500)
        s += QStringLiteral("func total(_ v: [Double]) -> Double { // somme\n    let x = \"a\" + 42 /* c */\n}\n");
    return s.left(500);
}

ClipboardItem sample(int which)
{
    ClipboardItem item;
    item.id = QUuid::createUuid();
    item.createdAt = referenceDateFromUnix(kNow - 300);
    switch (which) {
    case 0:
        item.kind = ClipKind::Text;
        item.preview = QStringLiteral("Bonjour à tous, la réunion de demain est déplacée à 14 h 30. ").repeated(8).left(500);
        break;
    case 1:
        item.kind = ClipKind::Text;
        item.preview = codeText();
        break;
    case 2:
        item.kind = ClipKind::Image;
        item.raw = png(QSize(1920, 1080));
        break;
    case 3:
        item.kind = ClipKind::FileURL;
        item.fileName = QStringLiteral("Rapport annuel 2024 - version finale.pdf");
        item.fileExt = QStringLiteral("pdf");
        item.thumbnailPNG = png(QSize(256, 256));
        break;
    default:
        item.kind = ClipKind::Text;
        item.preview = QStringLiteral("#FF8800");
        break;
    }
    item.raw = item.raw.isEmpty() ? item.preview.toUtf8() : item.raw;
    return item;
}

void paintCard(benchmark::State &state, int which, bool selected)
{
    static FakeClock clock(kNow);
    const CardView view(clock);
    const ClipboardItem item = sample(which);
    QImage target(CardView::cardSize().grownBy(CardView::paintMargins()), QImage::Format_ARGB32_Premultiplied);
    const QRect rect(QPoint(CardView::paintMargins().left(), CardView::paintMargins().top()), CardView::cardSize());
    {
        // First paint fills the colour cache and the decoded-picture cache.
        QPainter p(&target);
        view.paint(p, rect, item, {});
    }
    for (auto _ : state) {
        target.fill(Qt::transparent);
        QPainter p(&target);
        view.paint(p, rect, item, {.selected = selected});
        p.end();
        benchmark::DoNotOptimize(target.constBits());
    }
}

void BM_PaintTextCard(benchmark::State &s) { paintCard(s, 0, false); }
void BM_PaintCodeCard(benchmark::State &s) { paintCard(s, 1, false); }
void BM_PaintImageCard(benchmark::State &s) { paintCard(s, 2, false); }
void BM_PaintFileCardWithThumbnail(benchmark::State &s) { paintCard(s, 3, false); }
void BM_PaintColourSwatchCard(benchmark::State &s) { paintCard(s, 4, false); }
void BM_PaintSelectedCodeCard(benchmark::State &s) { paintCard(s, 1, true); }

void BM_HighlightCode500(benchmark::State &state)
{
    const QString text = codeText();
    for (auto _ : state)
        benchmark::DoNotOptimize(ContentDecoration::highlightCode(text));
}

void BM_LooksLikeCode500(benchmark::State &state)
{
    const QString text = sample(0).preview;
    for (auto _ : state)
        benchmark::DoNotOptimize(ContentDecoration::looksLikeCode(text));
}

void BM_DominantHueOf1080pImage(benchmark::State &state)
{
    const QImage image = QImage::fromData(png(QSize(1920, 1080)));
    for (auto _ : state)
        benchmark::DoNotOptimize(ColorSampling::dominantHueColor(image));
}

BENCHMARK(BM_PaintTextCard)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintCodeCard)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintImageCard)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintFileCardWithThumbnail)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintColourSwatchCard)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintSelectedCodeCard)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HighlightCode500)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LooksLikeCode500)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DominantHueOf1080pImage)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
