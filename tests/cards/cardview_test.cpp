// What a painted card shows, its context menu acting on the store, and its
// drag payload.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QSignalSpy>

#include "cards/cardcontextmenu.h"
#include "cards/carddragpayload.h"
#include "cards/cardthumbnails.h"
#include "cards/cardview.h"
#include "cardsamples.h"
#include "model/referencedate.h"
#include "model/uuidtext.h"
#include "platform/fake/fakeclock.h"
#include "styling/glassmaterial.h"
#include "support/clipsamples.h"
#include "support/storefixture.h"

namespace {

constexpr double kNow = 1'700'000'000.0;
const double kCreated = referenceDateFromUnix(kNow - 300);

// Paints one card on a dark backdrop; the card's top-left is at `origin()`.
struct Canvas
{
    QImage image;
    QPoint origin() const { return QPoint(CardView::paintMargins().left(), CardView::paintMargins().top()); }
    QRect cardRect() const { return QRect(origin(), CardView::cardSize()); }
    QColor at(qreal x, qreal y) const { return image.pixelColor(origin() + QPointF(x, y).toPoint()); }
};

Canvas paintCard(const ClipboardItem &item, CardState state = {})
{
    static FakeClock clock(kNow);
    Canvas c;
    c.image = QImage(CardView::cardSize().grownBy(CardView::paintMargins()), QImage::Format_ARGB32_Premultiplied);
    c.image.fill(QColor(20, 20, 24));
    QPainter p(&c.image);
    const QTransform before = p.transform();
    CardView(clock).paint(p, c.cardRect(), item, state);
    EXPECT_EQ(p.transform(), before);
    EXPECT_EQ(p.opacity(), 1.0);
    return c;
}

bool near(const QColor &a, const QColor &b, int tol = 6)
{
    return std::abs(a.red() - b.red()) <= tol && std::abs(a.green() - b.green()) <= tol
           && std::abs(a.blue() - b.blue()) <= tol;
}

// Pixels in `box` (card coordinates) close to `color`.
int countNear(const Canvas &c, const QRectF &box, const QColor &color, int tol = 20)
{
    int n = 0;
    for (int y = int(box.top()); y < int(box.bottom()); ++y)
        for (int x = int(box.left()); x < int(box.right()); ++x)
            n += near(c.at(x, y), color, tol);
    return n;
}

const QRectF kPreview(0, CardView::kHeaderHeight, CardView::kCardWidth, CardView::kPreviewHeight);

TEST(CardPaint, TextWithColourCodeShowsTheSwatchRtfDoesNot)
{
    const Canvas c = paintCard(ClipSamples::text(QStringLiteral("#FF8800"), kCreated));
    EXPECT_TRUE(near(c.at(20, CardView::kHeaderHeight + 20), QColor(255, 136, 0), 2));
    EXPECT_TRUE(near(c.at(280, CardView::kHeaderHeight + 150), QColor(255, 136, 0), 2));
    ClipboardItem rtf = CardSamples::rtf(kCreated);
    rtf.preview = QStringLiteral("#FF8800");
    EXPECT_EQ(countNear(paintCard(rtf), kPreview, QColor(255, 136, 0), 10), 0);
}

TEST(CardPaint, ImageWithCorruptThumbnailShowsRawAndNothingDecodableShowsThePlaceholder)
{
    ClipboardItem item = CardSamples::base(ClipKind::Image, kCreated);
    QImage green(60, 40, QImage::Format_RGB32);
    green.fill(QColor(30, 200, 60));
    item.raw = ClipSamples::encoded(green);
    item.thumbnailPNG = QByteArrayLiteral("broken");
    EXPECT_TRUE(near(paintCard(item).at(150, CardView::kHeaderHeight + 85), QColor(30, 200, 60), 3));

    item.raw = QByteArrayLiteral("broken too");
    const Canvas c = paintCard(item);
    // The "photo" symbol sits centred above the label, in the secondary colour:
    // bright pixels there, and nothing image-like elsewhere.
    int bright = 0;
    for (int y = CardView::kHeaderHeight + 60; y < CardView::kHeaderHeight + 100; ++y)
        for (int x = 130; x < 170; ++x)
            bright += c.at(x, y).lightness() > 90;
    EXPECT_GT(bright, 20);
    EXPECT_LT(c.at(20, CardView::kHeaderHeight + 20).lightness(), 80);
}

// Defect: the card decoded the stored image at full size while painting, so
// the first paint of a 4K screenshot held the strip for its whole decode.
// Now a large picture is decoded at card size on a worker; the card shows a
// placeholder meanwhile and the picture once it is ready.
TEST(CardPaint, LargeImageIsDecodedOffThePaintThenDrawn)
{
    ClipboardItem item = CardSamples::base(ClipKind::Image, kCreated);
    QImage big(3840, 2160, QImage::Format_RGB32);
    big.fill(QColor(30, 200, 60));
    item.raw = ClipSamples::encoded(big, "TIFF");
    QSignalSpy ready(&CardThumbnails::shared(), &CardThumbnails::pictureReady);

    const Canvas before = paintCard(item);
    EXPECT_EQ(countNear(before, kPreview, QColor(30, 200, 60), 10), 0);
    EXPECT_EQ(CardThumbnails::shared().pendingCount(), 1);

    ASSERT_TRUE(ready.wait(20000));
    EXPECT_EQ(ready.first().first().value<QUuid>(), item.id);
    const Canvas after = paintCard(item);
    EXPECT_GT(countNear(after, kPreview, QColor(30, 200, 60), 3), int(kPreview.width() * kPreview.height() * 0.9));
}

TEST(CardThumbnail, IsDecodedToCoverTheCardBoxNeverEnlarged)
{
    const struct
    {
        QSize source, expected;
    } rows[] = {{{3840, 2160}, {604, 340}}, {{200, 100}, {200, 100}}, {{2000, 100}, {2000, 100}}, {{1000, 4000}, {600, 2400}}};
    for (const auto &row : rows) {
        QImage source(row.source, QImage::Format_RGB32);
        source.fill(Qt::red);
        EXPECT_EQ(CardThumbnails::decode(ClipSamples::encoded(source)).size(), row.expected) << row.source.width();
    }
}

// A file's thumbnail fills the column for a picture file (whatever the case
// of its extension), and is a centred 96-point picture for any other file.
TEST(CardPaint, FileThumbnailFillsTheAreaOnlyForAPictureFile)
{
    ClipboardItem item = CardSamples::otherFile(kCreated);
    QImage red(80, 80, QImage::Format_RGB32);
    red.fill(QColor(220, 40, 40));
    item.thumbnailPNG = ClipSamples::encoded(red);
    const QColor r(220, 40, 40);
    const Canvas other = paintCard(item);
    EXPECT_TRUE(near(other.at(150, CardView::kHeaderHeight + 10 + 48), r, 3));
    EXPECT_FALSE(near(other.at(20, CardView::kHeaderHeight + 10 + 48), r, 30));
    EXPECT_FALSE(near(other.at(150, CardView::kHeaderHeight + 10 + 100), r, 30));

    item.fileExt = QStringLiteral("JPG");
    item.fileName = QStringLiteral("photo.JPG");
    const Canvas picture = paintCard(item);
    EXPECT_TRUE(near(picture.at(20, CardView::kHeaderHeight + 60), r, 3));
    EXPECT_TRUE(near(picture.at(150, CardView::kHeaderHeight + 120), r, 3));
}

TEST(CardPaint, PinnedShowsTheAccentPinAndSelectedTheRing)
{
    ClipboardItem item = ClipSamples::text(QStringLiteral("bonjour"), kCreated);
    const QRectF pinBox(CardView::kCardWidth - 30, CardView::kHeaderHeight + CardView::kPreviewHeight,
                        30, CardView::kFooterHeight);
    const QRectF leftEdge(-2, 100, 4, 60);
    const QColor accent = GlassMaterial::accentColor();
    EXPECT_EQ(countNear(paintCard(item), pinBox, accent, 30), 0);
    EXPECT_EQ(countNear(paintCard(item), leftEdge, accent, 40), 0);
    EXPECT_GT(countNear(paintCard(item, {.selected = true}), leftEdge, accent, 40), 20);
    item.pinned = true;
    EXPECT_GT(countNear(paintCard(item), pinBox, accent, 30), 10);
}

TEST(CardPaint, HugePreviewIsCutBeforeDecoration)
{
    // A damaged history could carry megabytes of preview; painting stays sane.
    ClipboardItem item = ClipSamples::text(QString(2'000'000, u'('), kCreated);
    const Canvas c = paintCard(item);
    EXPECT_FALSE(c.image.isNull());
}

// ---------------------------------------------------------------- store side

class CardMenu : public ::testing::Test
{
protected:
    CardMenu()
    {
        for (int i = 0; i < 4; ++i)
            items.append(fx.textClip(QStringLiteral("clip %1").arg(i), 300 + i));
        folders = {StoreFixture::folder(QStringLiteral("Travail")), StoreFixture::folder(QStringLiteral("Perso"))};
        store = &fx.makeStore(items, folders);
    }

    QAction *action(QMenu *menu, const QString &text)
    {
        for (QAction *a : menu->actions()) {
            if (a->text() == text)
                return a;
            if (a->menu())
                if (QAction *inner = action(a->menu(), text))
                    return inner;
        }
        return nullptr;
    }
    const ClipboardItem *find(const QUuid &id) const
    {
        for (const auto &i : store->items())
            if (i.id == id)
                return &i;
        return nullptr;
    }

    StoreFixture fx;
    QList<ClipboardItem> items;
    QList<ClipboardFolder> folders;
    ClipboardStore *store = nullptr;
};

TEST_F(CardMenu, PinAndTousGoThroughTheStoreAndLabelsFollowIt)
{
    std::unique_ptr<QMenu> menu(CardContextMenu::create(*store, items[1]));
    action(menu.get(), QStringLiteral("Épingler"))->trigger();
    EXPECT_TRUE(find(items[1].id)->pinned);
    // The caller's copy is stale (not pinned); the label follows the store.
    std::unique_ptr<QMenu> again(CardContextMenu::create(*store, items[1]));
    ASSERT_TRUE(action(again.get(), QStringLiteral("Désépingler")));

    std::unique_ptr<QMenu> toFolder(CardContextMenu::create(*store, items[0]));
    action(toFolder.get(), QStringLiteral("Travail"))->trigger();
    ASSERT_TRUE(find(items[0].id)->folderId.has_value());
    std::unique_ptr<QMenu> back(CardContextMenu::create(*store, items[0]));
    action(back.get(), QStringLiteral("Tous"))->trigger();
    EXPECT_FALSE(find(items[0].id)->folderId.has_value()) << "Tous moves out of any folder";
}

// An action on a selected card acts on the whole selection; on any other
// card, on that card alone.
struct MenuRow
{
    const char *name;
    int card;
    const char *action;
    QList<int> gone;  // deleted clips
    QList<int> moved; // clips now in "Perso"
};

class CardMenuAction : public CardMenu, public ::testing::WithParamInterface<MenuRow> {};

TEST_P(CardMenuAction, ActsOnTheSelectionOnlyFromASelectedCard)
{
    store->setSelection({items[1].id, items[2].id});
    std::unique_ptr<QMenu> menu(CardContextMenu::create(*store, items[GetParam().card]));
    action(menu.get(), QString::fromUtf8(GetParam().action))->trigger();
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(find(items[i].id) == nullptr, GetParam().gone.contains(i)) << i;
        if (const ClipboardItem *item = find(items[i].id)) {
            EXPECT_EQ(item->folderId == folders[1].id, GetParam().moved.contains(i)) << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Menu, CardMenuAction,
                         ::testing::Values(MenuRow{"delete_unselected_card", 0, "Supprimer", {0}, {}},
                                           MenuRow{"delete_selected_card", 1, "Supprimer", {1, 2}, {}},
                                           MenuRow{"folder_on_selected_card", 2, "Perso", {}, {1, 2}},
                                           MenuRow{"folder_on_unselected_card", 3, "Perso", {}, {3}}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(CardMenu, MenuOutlivingTheStoreDoesNothing)
{
    std::unique_ptr<QMenu> menu(CardContextMenu::create(*store, items[0]));
    fx.store.reset();
    action(menu.get(), QStringLiteral("Supprimer"))->trigger(); // must not crash
    SUCCEED();
}

TEST(DragPayload, IdAloneOrTheSelectionAsCompactJsonArrayOfUppercaseIds)
{
    const ClipboardItem item = ClipSamples::text(QStringLiteral("x"));
    std::unique_ptr<QMimeData> alone(CardDragPayload::create(item, {}));
    EXPECT_EQ(alone->data(QStringLiteral("text/plain")), uuidText(item.id).toUtf8());
    EXPECT_FALSE(alone->hasFormat(QStringLiteral("application/json")));

    const QSet<QUuid> selection{QUuid::createUuid(), QUuid::createUuid()};
    std::unique_ptr<QMimeData> mime(CardDragPayload::create(item, selection));
    const QByteArray json = mime->data(QStringLiteral("application/json"));
    EXPECT_FALSE(json.contains(' '));
    QStringList expected;
    for (const QUuid &id : selection)
        expected << uuidText(id);
    QStringList got;
    for (const auto &v : QJsonDocument::fromJson(json).array())
        got << v.toString();
    EXPECT_EQ(got, expected); // the set's own order
    EXPECT_EQ(mime->text(), uuidText(item.id)); // the dragged clip need not be selected
}

} // namespace
