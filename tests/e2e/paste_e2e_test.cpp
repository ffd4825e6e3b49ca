// A paste from the real program lands in a real X client: the shortcut shows
// the overlay over our test client, Right selects the older clip, Return
// pastes it into the client with the synthesised Ctrl+V, and the write is
// not captured again.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonObject>
#include <QTest>

#include "support/e2esteps.h"
#include "support/pastetarget.h"
#include "support/patience.h"
#include "support/watchingapptest.h"

namespace {

class PasteE2E : public WatchingAppTest
{
protected:
    PasteE2E() : WatchingAppTest({QStringLiteral("xdotool"), QStringLiteral("xclip")}) {}

    void copy(const QByteArray &text, int expectedCount)
    {
        ASSERT_EQ(copyWithXclip(text), 0);
        ASSERT_TRUE(waitUntil([&] { return readItems(app.itemsPath()).size() == expectedCount; }, 5000))
            << app.log().toStdString();
    }

    PasteTarget target{QStringLiteral(BRAMBLET_PASTE_TARGET)};
};

TEST_F(PasteE2E, chosen_clip_is_pasted_into_the_client_and_not_captured_again)
{
    ASSERT_TRUE(target.start()) << "the test client did not come up";
    const QString older = QStringLiteral("collé depuis l’historique");
    copy(older.toUtf8(), 1);
    copy(QByteArray("le plus récent"), 2);

    // The program's own windows may have opened since; the client must be
    // the active window when the overlay is called.
    ASSERT_TRUE(target.activate());

    // Default shortcut: Super+Shift+V. The overlay takes the focus.
    xdotool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), QStringLiteral("super+shift+v")});
    ASSERT_TRUE(waitUntil([&] { return activeWindow() != target.window(); }, 3000))
        << "the overlay did not take the focus\n" << app.log().toStdString();
    xdotool({QStringLiteral("key"), QStringLiteral("Right")});
    xdotool({QStringLiteral("key"), QStringLiteral("Return")});

    const bool received = waitUntil([&] { return target.received() == older; }, 5000);
    app.waitForLog(QStringLiteral("Paste: SEND"), 100); // collects the program's output so far
    ASSERT_TRUE(received)
        << "client received: " << target.received().toStdString() << "\n" << app.log().toStdString();
    EXPECT_TRUE(app.waitForLog(QStringLiteral("Paste: SEND Ctrl+V")));
    EXPECT_EQ(activeWindow(), target.window());

    // Our write must not come back: the line says the watcher has seen and dropped it.
    EXPECT_TRUE(app.waitForLog(QStringLiteral("Store: shouldIgnore = true (one-shot)"), 2000)) << app.log().toStdString();
    const QJsonArray items = readItems(app.itemsPath());
    EXPECT_EQ(items.size(), 2) << app.log().toStdString();
    // The chosen clip moved to the top: it is now the newest.
    QString newest;
    double newestAt = -1e300;
    for (const QJsonValue &v : items) {
        const QJsonObject o = v.toObject();
        if (o.value(QStringLiteral("createdAt")).toDouble() > newestAt) {
            newestAt = o.value(QStringLiteral("createdAt")).toDouble();
            newest = o.value(QStringLiteral("preview")).toString();
        }
    }
    EXPECT_EQ(newest, older);

    // A real copy afterwards is still captured (the one-shot flag did not linger).
    copy(QByteArray("copie suivante"), 3);
}

} // namespace
