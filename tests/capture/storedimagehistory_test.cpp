// Image clips stored uncompressed by earlier versions: the history keeps
// their bytes as they are through load and rewrite, so their duplicate
// signature never changes, while new copies are stored compressed.
#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>

#include "capture/imageconversion.h"
#include "store/clipboardstore.h"
#include "store/historyfiles.h"
#include "support/clipsamples.h"

namespace {

ClipboardItem imageClip(const QByteArray &tiff)
{
    ClipboardItem item;
    item.id = QUuid::createUuid();
    item.kind = ClipKind::Image;
    item.dataUTI = QStringLiteral("public.tiff");
    item.preview = QStringLiteral("📷 Image 320×200");
    item.raw = tiff;
    return item;
}

TEST(StoredImageHistory, an_uncompressed_clip_is_loaded_and_rewritten_byte_for_byte)
{
    QImage picture(320, 200, QImage::Format_RGB32);
    picture.fill(QColor(90, 160, 220));
    const QByteArray uncompressed = ClipSamples::tiff(picture, 0); // as earlier versions stored every image
    const QString signature = ClipboardStore::signature(ClipKind::Image, uncompressed);

    QTemporaryDir dir;
    {
        HistoryFiles files(dir.path());
        files.write({imageClip(uncompressed)}, {});
    }
    HistoryFiles files(dir.path());
    QList<ClipboardItem> items = files.load().items;
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items.first().raw, uncompressed);

    // A new copy of the same picture is stored compressed, beside the old clip.
    const ImageConversion::Result fresh = ImageConversion::toStoredTiff(ClipSamples::encoded(picture), QStringLiteral("image/png"));
    ASSERT_TRUE(fresh.ok());
    EXPECT_LT(fresh.tiff.size(), uncompressed.size() / 10);
    items.prepend(imageClip(fresh.tiff));
    files.write(items, {});

    const QList<ClipboardItem> reloaded = HistoryFiles(dir.path()).load().items;
    ASSERT_EQ(reloaded.size(), 2);
    EXPECT_EQ(reloaded.at(1).raw, uncompressed);
    EXPECT_EQ(ClipboardStore::signature(ClipKind::Image, reloaded.at(1).raw.bytes()), signature);
    EXPECT_EQ(QImage::fromData(reloaded.at(1).raw.bytes(), "TIFF").convertToFormat(QImage::Format_RGB32), picture);
    EXPECT_EQ(reloaded.at(0).raw, fresh.tiff);
}

} // namespace
