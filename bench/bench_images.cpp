// Stored images: a 3840×2160 screenshot-like and photo-like picture, their
// stored (Deflate TIFF) size beside the uncompressed TIFF and Qt's LZW TIFF,
// and the time to encode and decode the stored form. A card picture decoded
// from the stored form is timed too (it runs on a worker for such sizes).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>

#include "capture/imagelimits.h"
#include "capture/tiffstorage.h"
#include "cards/cardthumbnails.h"

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point t0)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

// A desktop screenshot: dark side bar, light panes, toolbar buttons, many
// lines of antialiased text and a photo-like thumbnail inside.
QImage screenshot()
{
    QImage img(3840, 2160, QImage::Format_ARGB32);
    img.fill(QColor(244, 244, 246));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.fillRect(QRect(0, 0, 520, 2160), QColor(43, 45, 49));
    p.fillRect(QRect(0, 0, 3840, 80), QColor(228, 228, 232));
    for (int i = 0; i < 12; ++i) {
        p.setBrush(QColor(10, 132, 255));
        p.setPen(Qt::NoPen);
        p.drawRoundedRect(QRectF(560 + i * 180, 18, 160, 44), 10, 10);
    }
    QFont font;
    font.setPixelSize(26);
    p.setFont(font);
    p.setPen(QColor(220, 220, 226));
    for (int i = 0; i < 60; ++i)
        p.drawText(QPointF(40, 140 + i * 34), QStringLiteral("Dossier %1 — projets").arg(i));
    p.setPen(QColor(30, 30, 34));
    p.fillRect(QRect(560, 120, 2200, 2000), Qt::white);
    for (int i = 0; i < 56; ++i)
        p.drawText(QPointF(600, 170 + i * 34),
                   QStringLiteral("%1. Le presse-papiers garde chaque copie : texte, texte riche, lien, image ou fichier, "
                                  "et la réunion de %2 h 30 est déplacée.").arg(i + 1).arg(8 + i % 10));
    QLinearGradient g(2820, 120, 3800, 900);
    g.setColorAt(0, QColor(40, 120, 220));
    g.setColorAt(1, QColor(250, 150, 60));
    p.fillRect(QRect(2820, 120, 980, 700), g);
    p.setBrush(QColor(255, 230, 140));
    p.drawEllipse(QPointF(3500, 420), 120, 120);
    return img;
}

// A photograph: smooth colour fields (a coarse random grid scaled up
// smoothly) with a little per-pixel sensor noise.
QImage photo()
{
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> colour(0, 255);
    QImage coarse(48, 27, QImage::Format_RGB32);
    for (int y = 0; y < coarse.height(); ++y)
        for (int x = 0; x < coarse.width(); ++x)
            coarse.setPixel(x, y, qRgb(colour(rng), colour(rng), colour(rng)));
    QImage img = coarse.scaled(3840, 2160, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                     .convertToFormat(QImage::Format_RGB32);
    std::uniform_int_distribution<int> noise(-3, 3);
    for (int y = 0; y < img.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const int n = noise(rng);
            line[x] = qRgb(qBound(0, qRed(line[x]) + n, 255), qBound(0, qGreen(line[x]) + n, 255),
                           qBound(0, qBlue(line[x]) + n, 255));
        }
    }
    return img;
}

QByteArray qtTiff(const QImage &image, int compression)
{
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "tiff");
    writer.setCompression(compression);
    writer.write(image);
    return out;
}

struct Figures
{
    qint64 uncompressed = 0, lzw = 0, stored = 0;
    std::vector<double> encodeMs, decodeMs, cardMs;
};
std::map<std::string, Figures> g_figures;

const QImage &picture(const std::string &name)
{
    static const QImage shot = screenshot();
    static const QImage pic = photo();
    return name == "screenshot" ? shot : pic;
}

void benchSizes(benchmark::State &state, const std::string &name)
{
    Figures &f = g_figures[name];
    for (auto _ : state) {
        f.uncompressed = qtTiff(picture(name), 0).size();
        f.lzw = qtTiff(picture(name), 1).size();
        f.stored = TiffStorage::compressed(picture(name)).size();
    }
    state.counters["stored_MB"] = double(f.stored) / 1e6;
}

void benchEncode(benchmark::State &state, const std::string &name)
{
    Figures &f = g_figures[name];
    for (auto _ : state) {
        const auto t0 = Clock::now();
        benchmark::DoNotOptimize(TiffStorage::compressed(picture(name)));
        const double ms = msSince(t0);
        state.SetIterationTime(ms / 1000);
        f.encodeMs.push_back(ms);
    }
}

void benchDecode(benchmark::State &state, const std::string &name)
{
    Figures &f = g_figures[name];
    const QByteArray stored = TiffStorage::compressed(picture(name));
    for (auto _ : state) {
        const auto t0 = Clock::now();
        benchmark::DoNotOptimize(QImage::fromData(stored, "TIFF"));
        const double ms = msSince(t0);
        state.SetIterationTime(ms / 1000);
        f.decodeMs.push_back(ms);
    }
}

void benchCardPicture(benchmark::State &state, const std::string &name)
{
    Figures &f = g_figures[name];
    const QByteArray stored = TiffStorage::compressed(picture(name));
    for (auto _ : state) {
        const auto t0 = Clock::now();
        benchmark::DoNotOptimize(CardThumbnails::decode(stored));
        const double ms = msSince(t0);
        state.SetIterationTime(ms / 1000);
        f.cardMs.push_back(ms);
    }
}

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void printSummary()
{
    std::printf("\nSummary (3840x2160; sizes in MB; times are medians)\n");
    for (const auto &[name, f] : g_figures) {
        const std::string n = "(" + name + ")";
        std::printf("%-34s stored %7.2f MB | uncompressed %7.2f MB | ratio %5.3f | Qt LZW %7.2f MB\n",
                    ("stored size " + n).c_str(), f.stored / 1e6, f.uncompressed / 1e6,
                    f.uncompressed ? double(f.stored) / f.uncompressed : 0.0, f.lzw / 1e6);
        std::printf("%-34s encode %7.2f ms | decode %7.2f ms | card picture %7.2f ms (on a worker)\n",
                    ("stored form " + n).c_str(), median(f.encodeMs), median(f.decodeMs), median(f.cardMs));
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ImageLimits::allowLargeImages();
    for (const std::string name : {"screenshot", "photo"}) {
        benchmark::RegisterBenchmark(("sizes/" + name).c_str(), benchSizes, name)->Iterations(1)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("encode stored/" + name).c_str(), benchEncode, name)
            ->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("decode stored/" + name).c_str(), benchDecode, name)
            ->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("card picture from stored/" + name).c_str(), benchCardPicture, name)
            ->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printSummary();
    return 0;
}
