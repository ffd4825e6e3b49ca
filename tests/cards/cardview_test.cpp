// What a painted card shows, its context menu acting on the store, and its
// drag payload.
#include <gtest/gtest.h>

#include <QMenu>
#include <QPainter>
#include <QSignalSpy>

#include "cards/cardcontextmenu.h"
#include "cards/cardthumbnails.h"
#include "cards/cardview.h"
#include "cardsamples.h"
#include "model/referencedate.h"
#include "platform/fake/fakeclock.h"
#include "support/storefixture.h"

namespace {

constexpr double kNow = 1'700'000'000.0;
const double kCreated = referenceDateFromUnix(kNow - 300);
const QRectF kPreview(0, CardView::kHeaderHeight, CardView::kCardWidth, CardView::kPreviewHeight);

// One card painted on a dark backdrop, read in card coordinates.
struct Canvas
{
    QImage image;
    QColor at(qreal x, qreal y) const
    {
        const QMargins m = CardView::paintMargins();
        return image.pixelColor(QPoint(m.left(), m.top()) + QPointF(x, y).toPoint());
    }
    // Pixels in `box` within `tol` of `color` on every channel.
    int countNear(const QRectF &box, const QColor &color, int tol) const
    {
        int n = 0;
        for (int y = int(box.top()); y < int(box.bottom()); ++y)
            for (int x = int(box.left()); x < int(box.right()); ++x) {
                const QColor c = at(x, y);
                n += std::abs(c.red() - color.red()) <= tol && std::abs(c.green() - color.green()) <= tol
                     && std::abs(c.blue() - color.blue()) <= tol;
            }
        return n;
    }
};

Canvas paintCard(const ClipboardItem &item, CardState state = {})
{
    static FakeClock clock(kNow);
    Canvas c{QImage(CardView::cardSize().grownBy(CardView::paintMargins()), QImage::Format_ARGB32_Premultiplied)};
    c.image.fill(QColor(20, 20, 24));
    QPainter p(&c.image);
    const QMargins m = CardView::paintMargins();
    CardView(clock).paint(p, QRect(QPoint(m.left(), m.top()), CardView::cardSize()), item, state);
    return c;
}

QByteArray picture(const QColor &colour, QSize size, const char *format = "PNG")
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return ClipSamples::encoded(image, format);
}

ClipboardItem imageClip(const QColor &colour, QSize size, const char *format = "PNG")
{
    return CardSamples::clip(ClipKind::Image, picture(colour, size, format), {}, {}, kCreated);
}

// Defect: the card decoded the stored image at full size while painting, so
// the first paint of a 4K screenshot held the strip for its whole decode.
// Now a large picture is decoded at card size on a worker; the card shows a
// placeholder meanwhile and the picture once it is ready.
TEST(CardPaint, LargeImageIsDecodedOffThePaintThenDrawn)
{
    const ClipboardItem item = imageClip(QColor(30, 200, 60), {3840, 2160}, "TIFF");
    QSignalSpy ready(&CardThumbnails::shared(), &CardThumbnails::pictureReady);
    EXPECT_EQ(paintCard(item).countNear(kPreview, QColor(30, 200, 60), 10), 0);
    EXPECT_EQ(CardThumbnails::shared().pendingCount(), 1);
    ASSERT_TRUE(ready.wait(20000));
    EXPECT_EQ(ready.first().first().value<QUuid>(), item.id);
    EXPECT_GT(paintCard(item).countNear(kPreview, QColor(30, 200, 60), 3),
              int(kPreview.width() * kPreview.height() * 0.9));

    // Decoded to cover the card's box, never enlarged.
    const QList<std::pair<QSize, QSize>> sizes = {
        {{3840, 2160}, {604, 340}}, {{200, 100}, {200, 100}}, {{2000, 100}, {2000, 100}}, {{1000, 4000}, {600, 2400}}};
    for (const auto &[source, expected] : sizes)
        EXPECT_EQ(CardThumbnails::decode(picture(Qt::red, source)).size(), expected) << source.width();
}

// ---------------------------------------------------------------- store side

class CardMenu : public ::testing::Test
{
protected:
    CardMenu() { store = &fx.makeStore(items, folders); }

    // Triggers the menu entry `text` of `card`'s menu (submenus included).
    void trigger(int card, const QString &text)
    {
        std::unique_ptr<QMenu> menu(CardContextMenu::create(*store, items[card]));
        QAction *found = find(menu.get(), text);
        ASSERT_TRUE(found) << text.toStdString();
        found->trigger();
    }
    static QAction *find(QMenu *menu, const QString &text)
    {
        for (QAction *a : menu->actions()) {
            if (a->text() == text)
                return a;
            if (QAction *inner = a->menu() ? find(a->menu(), text) : nullptr)
                return inner;
        }
        return nullptr;
    }
    const ClipboardItem *stored(int i) const
    {
        for (const auto &item : store->items())
            if (item.id == items[i].id)
                return &item;
        return nullptr;
    }

    StoreFixture fx;
    QList<ClipboardItem> items = fx.textClips(4);
    QList<ClipboardFolder> folders = {StoreFixture::folder(QStringLiteral("Travail")),
                                      StoreFixture::folder(QStringLiteral("Perso"))};
    ClipboardStore *store = nullptr;
};

TEST_F(CardMenu, PinAndTousGoThroughTheStoreLabelsFollowItAndAMenuOutlivingTheStoreDoesNothing)
{
    trigger(1, QStringLiteral("Épingler"));
    EXPECT_TRUE(stored(1)->pinned);
    // The caller's copy is stale (not pinned); the label follows the store.
    trigger(1, QStringLiteral("Désépingler"));
    EXPECT_FALSE(stored(1)->pinned);
    trigger(0, QStringLiteral("Travail"));
    ASSERT_TRUE(stored(0)->folderId.has_value());
    trigger(0, QStringLiteral("Tous"));
    EXPECT_FALSE(stored(0)->folderId.has_value()) << "Tous moves out of any folder";

    std::unique_ptr<QMenu> menu(CardContextMenu::create(*store, items[0]));
    fx.store.reset();
    find(menu.get(), QStringLiteral("Supprimer"))->trigger(); // must not crash
}

// An action on a selected card acts on the whole selection; on any other
// card, on that card alone.
TEST_F(CardMenu, ActsOnTheSelectionOnlyFromASelectedCard)
{
    const struct {
        const char *name;
        int card;
        const char *action;
        QList<int> gone, moved; // deleted clips, clips now in "Perso"
    } rows[] = {{"delete_unselected_card", 0, "Supprimer", {0}, {}},
                {"delete_selected_card", 1, "Supprimer", {1, 2}, {}},
                {"folder_on_selected_card", 2, "Perso", {}, {1, 2}},
                {"folder_on_unselected_card", 3, "Perso", {}, {3}}};
    for (const auto &row : rows) {
        store = &fx.makeStore(items, folders);
        store->setSelection({items[1].id, items[2].id});
        trigger(row.card, QString::fromUtf8(row.action));
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(stored(i) == nullptr, row.gone.contains(i)) << row.name << " " << i;
            EXPECT_EQ(stored(i) && stored(i)->folderId == folders[1].id, row.moved.contains(i)) << row.name << " " << i;
        }
    }
}

} // namespace
