// The overlay with a 10,000-clip history of mixed kinds: time from toggle to
// the panel's first painted frame (goal: under 30 ms), one scroll step of the
// strip repainted (goal: under 8 ms; the whole strip repainted as the worst
// case, and the real path that repaints only the uncovered band), and a new
// clip arriving while the panel is open.
#include <benchmark/benchmark.h>

#include <chrono>

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QTemporaryDir>

#include "model/referencedate.h"
#include "overlay/cardstripview.h"
#include "overlay/overlaypanel.h"
#include "overlay/overlayrootview.h"
#include "overlay/overlaywindowcontroller.h"
#include "platform/fake/fakesoundplayer.h"
#include "platform/systemclock.h"
#include "platform/userdefaults.h"
#include "store/clipboardstore.h"
#include "store/historyfiles.h"

namespace {

constexpr int kClips = 10'000;

class PresetHistory final : public HistoryFiles
{
public:
    using HistoryFiles::HistoryFiles;
    Loaded load() override { return preset; }
    void write(const QList<ClipboardItem> &, const QList<ClipboardFolder> &) override {}
    Loaded preset;
};

QByteArray png(QSize size, QColor from, QColor to)
{
    QImage img(size, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, size.width(), size.height());
    g.setColorAt(0, from);
    g.setColorAt(1, to);
    p.fillRect(img.rect(), g);
    p.end();
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "PNG");
    return bytes;
}

ClipboardItem clip(int i, double now)
{
    static const QByteArray photo = png(QSize(640, 400), QColor(40, 120, 220), QColor(250, 150, 60));
    static const QByteArray thumb = png(QSize(256, 256), QColor(200, 60, 60), QColor(60, 200, 120));
    ClipboardItem item;
    item.id = QUuid::createUuid();
    item.createdAt = referenceDateFromUnix(now) - i * 7.0;
    item.sourceBundleID = QStringLiteral("org.example.App%1").arg(i % 5);
    switch (i % 7) {
    case 0:
        item.kind = ClipKind::Text;
        item.preview = QStringLiteral("Note %1 : la réunion de demain est déplacée à 14 h 30, salle B. ").arg(i).repeated(4);
        break;
    case 1:
        item.kind = ClipKind::Text;
        item.preview = QStringLiteral("for (int k = 0; k < %1; ++k) {\n    total += values[k]; // somme\n}\n").arg(i);
        break;
    case 2:
        item.kind = ClipKind::Url;
        item.preview = QStringLiteral("https://example.org/articles/%1?ref=clip").arg(i);
        break;
    case 3:
        item.kind = ClipKind::Text;
        item.preview = QStringLiteral("#%1").arg(uint(i * 2654435761u) & 0xFFFFFF, 6, 16, QLatin1Char('0')).toUpper();
        break;
    case 4:
        item.kind = ClipKind::Image;
        item.preview = QStringLiteral("Image");
        item.raw = photo;
        break;
    case 5:
        item.kind = ClipKind::FileURL;
        item.fileName = QStringLiteral("Rapport %1.pdf").arg(i);
        item.fileExt = QStringLiteral("pdf");
        item.fileURLString = QStringLiteral("file:///home/u/Documents/Rapport%20%1.pdf").arg(i);
        item.preview = *item.fileName;
        item.thumbnailPNG = thumb;
        break;
    default:
        item.kind = ClipKind::Rtf;
        item.preview = QStringLiteral("Texte mis en forme numéro %1").arg(i);
        item.raw = QByteArray("{\\rtf1\\ansi {\\b Texte} mis en forme}");
        break;
    }
    if (item.raw.isEmpty())
        item.raw = item.preview.toUtf8();
    return item;
}

// One history, one store and one panel for every benchmark of the run.
struct Scene
{
    Scene()
        : files(tmp.path())
        , defaults(tmp.path() + QStringLiteral("/defaults.conf"))
    {
        const double now = SystemClock::instance().now();
        for (int i = 0; i < kClips; ++i)
            files.preset.items.append(clip(i, now));
        store = std::make_unique<ClipboardStore>(files, SystemClock::instance(), defaults, sound);
        controller.buildPanel(*store, SystemClock::instance());
    }

    // Created on first use; dropped by main() while the application still exists.
    static std::unique_ptr<Scene> &instance()
    {
        static std::unique_ptr<Scene> scene;
        return scene;
    }
    static Scene &get()
    {
        if (!instance())
            instance() = std::make_unique<Scene>();
        return *instance();
    }

    QTemporaryDir tmp;
    PresetHistory files;
    UserDefaults defaults;
    FakeSoundPlayer sound;
    std::unique_ptr<ClipboardStore> store;
    OverlayWindowController controller;
};

// Counts paint events that reach the strip's viewport.
class PaintCounter final : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

double seconds(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

void BM_ToggleToFirstPaintedFrame(benchmark::State &state)
{
    Scene &scene = Scene::get();
    QWidget *viewport = scene.controller.rootView()->strip()->viewport();
    PaintCounter counter;
    viewport->installEventFilter(&counter);
    for (auto _ : state) {
        const int before = counter.paints;
        QElapsedTimer timer;
        timer.start();
        scene.controller.toggle();
        while (counter.paints == before)
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        state.SetIterationTime(seconds(timer));
        scene.controller.toggle();
        QCoreApplication::processEvents();
    }
    viewport->removeEventFilter(&counter);
}

void BM_ScrollStepRepaint(benchmark::State &state)
{
    Scene &scene = Scene::get();
    scene.controller.show();
    QCoreApplication::processEvents();
    CardStripView *strip = scene.controller.rootView()->strip();
    QScrollBar *bar = strip->horizontalScrollBar();
    const int step = int(state.range(0));
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        int next = bar->value() + step;
        if (next > bar->maximum())
            next = 0;
        bar->setValue(next);
        strip->viewport()->repaint();
        state.SetIterationTime(seconds(timer));
    }
    scene.controller.hide();
    QCoreApplication::processEvents();
}

// The path a wheel notch takes: the scroll bar moves, the view scrolls what
// it already drew and repaints only the uncovered band, at the next frame.
void BM_ScrollStepToNextFrame(benchmark::State &state)
{
    Scene &scene = Scene::get();
    scene.controller.show();
    QCoreApplication::processEvents();
    CardStripView *strip = scene.controller.rootView()->strip();
    QScrollBar *bar = strip->horizontalScrollBar();
    PaintCounter counter;
    strip->viewport()->installEventFilter(&counter);
    const int step = int(state.range(0));
    for (auto _ : state) {
        const int before = counter.paints;
        QElapsedTimer timer;
        timer.start();
        int next = bar->value() + step;
        if (next > bar->maximum())
            next = 0;
        bar->setValue(next);
        while (counter.paints == before)
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        state.SetIterationTime(seconds(timer));
    }
    strip->viewport()->removeEventFilter(&counter);
    scene.controller.hide();
    QCoreApplication::processEvents();
}

void BM_NewClipWhilePanelOpen(benchmark::State &state)
{
    Scene &scene = Scene::get();
    scene.controller.show();
    QCoreApplication::processEvents();
    CardStripView *strip = scene.controller.rootView()->strip();
    int n = 0;
    for (auto _ : state) {
        ClipboardItem item = clip(n++, SystemClock::instance().now() + 1000);
        item.preview += QString::number(n);
        item.raw = item.preview.toUtf8();
        QElapsedTimer timer;
        timer.start();
        scene.store->insert(item);
        strip->viewport()->repaint();
        state.SetIterationTime(seconds(timer));
    }
    scene.controller.hide();
    QCoreApplication::processEvents();
}

BENCHMARK(BM_ToggleToFirstPaintedFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK(BM_ScrollStepRepaint)->Arg(40)->Arg(316)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollStepToNextFrame)->Arg(40)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NewClipWhilePanelOpen)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(50);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Scene::instance().reset();
    return 0;
}
