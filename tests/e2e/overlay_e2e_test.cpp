// The overlay panel in the real program under a window manager: the
// shortcut shows it over a real X client, arrows and Return paste the chosen
// clip there, Escape empties a search before it hides the panel, and a click
// in another program's window hides it while a click inside does not.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include <QImage>
#include <QRegularExpression>
#include <QTest>

#include "support/e2esteps.h"
#include "support/pastetarget.h"
#include "support/patience.h"
#include "support/watchingapptest.h"

namespace {

class OverlayE2E : public WatchingAppTest
{
protected:
    OverlayE2E() : WatchingAppTest({QStringLiteral("xdotool"), QStringLiteral("xclip"), QStringLiteral("import")}) {}

    void SetUp() override
    {
        WatchingAppTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(target.start()) << "the test client did not come up";
    }

    void copy(const QByteArray &text)
    {
        const int before = int(app.log().count(QStringLiteral("Store: insert item")));
        ASSERT_EQ(copyWithXclip(text), 0);
        ASSERT_TRUE(waitUntil([&] {
            app.waitForLog(QStringLiteral("Store: insert item"), 50);
            return app.log().count(QStringLiteral("Store: insert item")) > before;
        }, 5000)) << app.log().toStdString();
    }

    // The panel: a visible window of the program, 330 px tall.
    QRect panelFrame() { return panelWindow().second; }
    bool panelShown() { return !panelFrame().isNull(); }

    // The panel's window id and frame; empty when it is not shown.
    std::pair<QString, QRect> panelWindow()
    {
        QByteArray ids;
        xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                 QString::number(app.pid()), QStringLiteral("--name"), QStringLiteral("^Bramblet$")}, &ids);
        static const QRegularExpression position(QStringLiteral("Position: (\\d+),(\\d+)"));
        static const QRegularExpression geometry(QStringLiteral("Geometry: (\\d+)x(\\d+)"));
        for (const QByteArray &id : ids.split('\n')) {
            if (id.trimmed().isEmpty())
                continue;
            QByteArray out;
            xdotool({QStringLiteral("getwindowgeometry"), QString::fromLatin1(id.trimmed())}, &out);
            const QString text = QString::fromUtf8(out);
            const auto p = position.match(text);
            const auto g = geometry.match(text);
            if (p.hasMatch() && g.hasMatch() && g.captured(2).toInt() == 330)
                return {QString::fromLatin1(id.trimmed()),
                        QRect(p.captured(1).toInt(), p.captured(2).toInt(), g.captured(1).toInt(), 330)};
        }
        return {};
    }

    // Keys reach the panel once the window manager has made it the active window.
    bool showWithShortcut()
    {
        xdotool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), QStringLiteral("super+shift+v")});
        return waitUntil([&] {
            const QString panel = panelWindow().first;
            return !panel.isEmpty() && activeWindow() == panel;
        }, 4000);
    }

    // What the panel shows, as a user sees it; null when it is not shown.
    QImage panelShot()
    {
        const QString panel = panelWindow().first;
        if (panel.isEmpty())
            return {};
        QByteArray png;
        runTool(QStringLiteral("import"), {QStringLiteral("-window"), panel, QStringLiteral("png:-")}, &png);
        return QImage::fromData(png, "PNG");
    }

    // Strongly blue pixels in the rows [top, bottom) of `shot`: the focused
    // search field's ring in the bar, the cards' blue headers in the strip.
    static int bluePixels(const QImage &shot, int top, int bottom)
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
    static constexpr int kBarBottom = 45;
    static bool searchFieldFocused(const QImage &shot) { return bluePixels(shot, 0, kBarBottom) > 200; }
    static bool cardsShown(const QImage &shot) { return bluePixels(shot, kBarBottom + 5, shot.height()) > 2000; }

    PasteTarget target{QStringLiteral(BRAMBLET_PASTE_TARGET)};
};

TEST_F(OverlayE2E, shortcut_arrows_and_return_paste_the_chosen_clip_into_the_window_in_front)
{
    copy("premier copié");
    copy("deuxième copié");
    copy("troisième copié");
    ASSERT_TRUE(target.activate());

    ASSERT_TRUE(showWithShortcut()) << app.log().toStdString();
    // Newest first: "troisième" is selected; two steps right, one back left.
    xdotool({QStringLiteral("key"), QStringLiteral("Right"), QStringLiteral("Right"), QStringLiteral("Left")});
    xdotool({QStringLiteral("key"), QStringLiteral("Return")});

    const bool received = waitUntil([&] { return target.received() == QStringLiteral("deuxième copié"); }, 5000);
    app.waitForLog(QStringLiteral("Paste: SEND"), 200);
    ASSERT_TRUE(received) << "client received: " << target.received().toStdString() << "\n" << app.log().toStdString();
    EXPECT_FALSE(panelShown());
    EXPECT_EQ(activeWindow(), target.window());
    EXPECT_TRUE(app.log().contains(QStringLiteral("Store: suppressNextCapture()")));
}

TEST_F(OverlayE2E, escape_empties_the_search_then_hides_the_panel)
{
    copy("alpha");
    copy("beta");
    ASSERT_TRUE(target.activate());
    ASSERT_TRUE(showWithShortcut()) << app.log().toStdString();

    ASSERT_TRUE(waitUntil([&] { return cardsShown(panelShot()); }, 5000)) << "the strip shows no clip";

    // The field appears and takes the focus a moment later: type once it shows the focus ring.
    xdotool({QStringLiteral("key"), QStringLiteral("ctrl+f")});
    ASSERT_TRUE(waitUntil([&] { return searchFieldFocused(panelShot()); }, 5000))
        << "ctrl+f did not open a focused search field";
    xdotool({QStringLiteral("type"), QStringLiteral("zzz")});
    ASSERT_TRUE(waitUntil([&] { return !cardsShown(panelShot()); }, 5000)) << "\"zzz\" matches no clip";

    // In the field, Escape belongs to the field: the panel stays. A click in
    // the (empty) strip then takes the focus from the field; once the ring
    // is gone the Escape before it has been handled too.
    const QRect frame = panelFrame();
    xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
    xdotool({QStringLiteral("mousemove"), QString::number(frame.center().x()), QString::number(frame.center().y() + 20),
             QStringLiteral("click"), QStringLiteral("1")});
    QImage shot;
    ASSERT_TRUE(waitUntil([&] {
        shot = panelShot();
        return shot.isNull() || !searchFieldFocused(shot);
    }, 5000)) << "the click did not take the focus from the field";
    ASSERT_FALSE(shot.isNull()) << "Escape in the search field must not reach the panel";
    ASSERT_FALSE(cardsShown(shot)) << "Escape in the search field must not empty the query";

    xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
    ASSERT_TRUE(waitUntil([&] {
        shot = panelShot();
        return shot.isNull() || cardsShown(shot);
    }, 5000)) << "the first Escape empties the query: every clip shows again";
    EXPECT_FALSE(shot.isNull()) << "the first Escape empties the query and keeps the panel";
    xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
    EXPECT_TRUE(waitUntil([&] { return !panelShown(); }, 3000)) << "the second Escape hides the panel";
}

TEST_F(OverlayE2E, a_click_in_another_window_hides_the_panel_and_a_click_inside_does_not)
{
    copy("un clip");
    ASSERT_TRUE(target.activate());
    ASSERT_TRUE(showWithShortcut()) << app.log().toStdString();

    const QRect frame = panelFrame();
    // Inside the panel, on the bar's empty left part.
    xdotool({QStringLiteral("mousemove"), QString::number(frame.left() + 40), QString::number(frame.top() + 24),
             QStringLiteral("click"), QStringLiteral("1")});
    // The program reads input in order: once Ctrl+F after the click shows the
    // focused search field, the click has been handled too.
    xdotool({QStringLiteral("key"), QStringLiteral("ctrl+f")});
    QImage shot;
    ASSERT_TRUE(waitUntil([&] {
        shot = panelShot();
        return shot.isNull() || searchFieldFocused(shot);
    }, 5000)) << "ctrl+f after the click did not focus the search field";
    ASSERT_FALSE(shot.isNull()) << "a click inside the panel must not hide it";

    // On the test client, moved to the top-right corner where no window of
    // the program (the settings window opens centred) can cover it.
    xdotool({QStringLiteral("windowmove"), target.window(), QStringLiteral("1280"), QStringLiteral("10")});
    xdotool({QStringLiteral("windowsize"), target.window(), QStringLiteral("300"), QStringLiteral("150")});
    ASSERT_TRUE(waitUntil([&] {
        QByteArray out;
        xdotool({QStringLiteral("getwindowgeometry"), target.window()}, &out);
        return QString::fromUtf8(out).contains(QStringLiteral("Geometry: 300x150"));
    }, 3000));
    ASSERT_TRUE(panelShown()) << "moving another window must not hide the panel";
    xdotool({QStringLiteral("mousemove"), QStringLiteral("1400"), QStringLiteral("90"), QStringLiteral("click"),
             QStringLiteral("1")});
    EXPECT_TRUE(waitUntil([&] { return !panelShown(); }, 3000)) << app.log().toStdString();
}

} // namespace
