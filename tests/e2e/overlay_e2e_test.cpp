// The overlay panel in the real program under a window manager: the
// shortcut shows it over a real X client, arrows and Return paste the chosen
// clip there with a synthesised Ctrl+V and the write is not captured again;
// Escape empties a search before it hides the panel, and a click in another
// program's window hides it while a click inside does not; Space previews an
// 800×500 picture at its size. With BRAMBLET_SCREENSHOT_DIR set, the preview's
// screenshots are saved there: preview-image-live.png (the window) and
// preview-image-live-screen.png (the whole screen).
#include <gtest/gtest.h>

#include <algorithm>

#include <QDir>
#include <QImage>
#include <QPainter>

#include "support/clipsamples.h"
#include "support/e2esteps.h"
#include "support/e2etest.h"
#include "support/pastetarget.h"
#include "support/patience.h"

namespace {

// Strongly blue pixels in the rows [top, bottom) of `shot`: the focused
// search field's ring in the bar, the cards' blue headers in the strip.
int bluePixels(const QImage &shot, int top, int bottom)
{
    int count = 0;
    for (int y = std::max(top, 0); y < std::min(bottom, shot.height()); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            count += c.blue() > 180 && c.red() < 100 && c.blue() - c.green() > 60;
        }
    }
    return count;
}

// The bar with the search field is the top 45 rows, the strip below.
constexpr int kBarBottom = 45;
bool searchFieldFocused(const QImage &shot) { return bluePixels(shot, 0, kBarBottom) > 200; }
bool cardsShown(const QImage &shot) { return bluePixels(shot, kBarBottom + 5, shot.height()) > 2000; }

// The previewed picture's two flat colours: a page with an accent block on it.
const QColor kPage(236, 238, 242);
const QColor kAccent(242, 152, 56);

int pictureLikePixels(const QImage &shot)
{
    int n = 0;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            for (const QColor &k : {kPage, kAccent})
                n += std::abs(c.red() - k.red()) <= 4 && std::abs(c.green() - k.green()) <= 4
                    && std::abs(c.blue() - k.blue()) <= 4;
        }
    }
    return n;
}

class OverlayE2E : public E2ETest
{
protected:
    OverlayE2E() : E2ETest(words(QStringLiteral("xdotool xclip import")), true) {}

    void SetUp() override
    {
        E2ETest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(target.start()) << "the test client did not come up";
    }

    // Copies `texts`, then calls the panel with the shortcut over the client.
    // Keys reach the panel once the window manager has made it the active window.
    ::testing::AssertionResult copyAndShowPanel(const QList<QByteArray> &texts)
    {
        for (const QByteArray &text : texts) {
            if (::testing::AssertionResult copied = copy(text); !copied)
                return copied;
        }
        // The program's own windows may have opened since and taken the focus.
        if (!target.activate())
            return ::testing::AssertionFailure() << "the test client is not the active window";
        xdotool(QStringLiteral("key --clearmodifiers super+shift+v"));
        if (!waitUntil([&] {
                const QString panel = panelWindow(app.pid());
                return !panel.isEmpty() && activeWindow() == panel;
            }, 4000))
            return ::testing::AssertionFailure() << "the panel did not take the keyboard\n" << app.log().toStdString();
        return ::testing::AssertionSuccess();
    }

    QImage panelShot()
    {
        const QString panel = panelWindow(app.pid());
        return panel.isEmpty() ? QImage() : screenshot(panel);
    }

    PasteTarget target{QStringLiteral(BRAMBLET_PASTE_TARGET)};
};

TEST_F(OverlayE2E, arrows_and_return_paste_the_chosen_clip_into_the_window_in_front)
{
    ASSERT_TRUE(copyAndShowPanel({"premier copié", "deuxième copié", "troisième copié"}));
    // Newest first: "troisième" is selected; two steps right, one back left.
    xdotool(QStringLiteral("key Right Right Left"));
    pressKeys(QStringLiteral("Return"));

    const bool received = waitUntil([&] { return target.received() == QStringLiteral("deuxième copié"); }, 5000);
    app.waitForLog(QStringLiteral("Paste: SEND"), 200); // collects the program's output so far
    ASSERT_TRUE(received) << "client received: " << target.received().toStdString() << "\n" << app.log().toStdString();
    EXPECT_TRUE(panelWindow(app.pid()).isEmpty());
    EXPECT_EQ(activeWindow(), target.window());

    // Our write must not come back: the line says the watcher has seen and dropped it.
    EXPECT_TRUE(app.waitForLog(QStringLiteral("Store: shouldIgnore = true (one-shot)"), 2000)) << app.log().toStdString();
    // (The chosen clip moving to the top is checked by the overlay controller's tests.)
    EXPECT_EQ(readItems(app.itemsPath()).size(), 3) << app.log().toStdString();
}

// A click inside the panel keeps it; in the search field Escape belongs to
// the field, the next one empties the query, the one after hides the panel;
// a click in another program's window hides it too.
TEST_F(OverlayE2E, clicks_and_escapes_empty_the_search_before_they_hide_the_panel)
{
    ASSERT_TRUE(copyAndShowPanel({"alpha", "beta"}));
    ASSERT_TRUE(waitUntil([&] { return cardsShown(panelShot()); }, 5000)) << "the strip shows no clip";
    // Inside the panel, on the bar's empty left part. The program reads input
    // in order: once Ctrl+F after the click shows the focused search field,
    // the click has been handled too. The field takes the focus a moment
    // after it shows: type once it shows the focus ring.
    const QRect frame = windowFrame(panelWindow(app.pid()));
    clickAt(frame.topLeft() + QPoint(40, 24));
    pressKeys(QStringLiteral("ctrl+f"));
    QImage shot;
    ASSERT_TRUE(waitUntil([&] {
        shot = panelShot();
        return shot.isNull() || searchFieldFocused(shot);
    }, 5000)) << "ctrl+f after the click did not focus the search field";
    ASSERT_FALSE(shot.isNull()) << "a click inside the panel must not hide it";
    xdotool(QStringLiteral("type zzz"));
    ASSERT_TRUE(waitUntil([&] { return !cardsShown(panelShot()); }, 5000)) << "\"zzz\" matches no clip";

    // A click in the (empty) strip takes the focus from the field; once the
    // ring is gone the Escape before it has been handled too.
    pressKeys(QStringLiteral("Escape"));
    clickAt(frame.center() + QPoint(0, 20));
    ASSERT_TRUE(waitUntil([&] {
        shot = panelShot();
        return shot.isNull() || !searchFieldFocused(shot);
    }, 5000)) << "the click did not take the focus from the field";
    ASSERT_FALSE(shot.isNull()) << "Escape in the search field must not reach the panel";
    ASSERT_FALSE(cardsShown(shot)) << "Escape in the search field must not empty the query";
    pressKeys(QStringLiteral("Escape"));
    ASSERT_TRUE(waitUntil([&] {
        shot = panelShot();
        return shot.isNull() || cardsShown(shot);
    }, 5000));
    EXPECT_FALSE(shot.isNull()) << "the first Escape empties the query and keeps the panel";
    pressKeys(QStringLiteral("Escape"));
    EXPECT_TRUE(waitUntil([&] { return panelWindow(app.pid()).isEmpty(); }, 3000)) << "the second Escape hides the panel";

    // On the test client, moved to the top-right corner where no window of
    // the program (the settings window opens centred) can cover it.
    ASSERT_TRUE(copyAndShowPanel({}));
    xdotool(QStringLiteral("windowmove %1 1280 10").arg(target.window()));
    xdotool(QStringLiteral("windowsize %1 300 150").arg(target.window()));
    ASSERT_TRUE(waitUntil([&] { return windowFrame(target.window()).size() == QSize(300, 150); }, 3000));
    ASSERT_FALSE(panelWindow(app.pid()).isEmpty()) << "moving another window must not hide the panel";
    clickAt(QPoint(1400, 90));
    EXPECT_TRUE(waitUntil([&] { return panelWindow(app.pid()).isEmpty(); }, 3000)) << app.log().toStdString();
}

TEST_F(OverlayE2E, space_previews_an_800_by_500_image_at_its_size)
{
    QImage picture(800, 500, QImage::Format_RGB32);
    picture.fill(kPage);
    QPainter(&picture).fillRect(QRect(260, 96, 500, 220), kAccent);
    ASSERT_TRUE(copy(ClipSamples::encoded(picture), QStringLiteral("image/png")));
    ASSERT_TRUE(copyAndShowPanel({}));
    // The newest clip is selected; Space previews it.
    pressKeys(QStringLiteral("space"));
    const QString title = QStringLiteral("^Bramblet_Image\\.png$");
    QString preview;
    ASSERT_TRUE(waitUntil([&] { return !(preview = visibleWindows(app.pid(), title).value(0)).isEmpty(); }, 5000))
        << "no preview window\n" << app.log().toStdString();

    // Screenshots until the window has been drawn with the picture in it.
    QImage shot;
    const bool drawn = waitUntil([&] {
        shot = screenshot(preview);
        return !shot.isNull() && pictureLikePixels(shot) >= 700 * 430;
    }, 8000);
    const QString dir = qEnvironmentVariable("BRAMBLET_SCREENSHOT_DIR");
    if (!dir.isEmpty() && !shot.isNull()) {
        shot.save(QDir(dir).filePath(QStringLiteral("preview-image-live.png")));
        // The whole screen too: the preview above the strip it was opened from.
        screenshot(QStringLiteral("root")).save(QDir(dir).filePath(QStringLiteral("preview-image-live-screen.png")));
    }
    ASSERT_FALSE(shot.isNull()) << "import could not capture the preview window";
    EXPECT_TRUE(drawn) << "picture pixels: " << pictureLikePixels(shot) << " of a " << shot.width() << "×"
                       << shot.height() << " window (at least 700×430 expected)";
    pressKeys(QStringLiteral("space"));
    EXPECT_TRUE(waitUntil([&] { return visibleWindows(app.pid(), title).isEmpty(); }, 3000));
}

} // namespace
