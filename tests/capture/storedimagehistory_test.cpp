// Image clips stored uncompressed by earlier versions: the history keeps
// their bytes as they are through load and rewrite, so their duplicate
// signature never changes, while new copies are stored compressed.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>

#include "capture/imageconversion.h"
#include "store/clipboardstore.h"
#include "store/historyfiles.h"

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

TEST(StoredImageHistory, UncompressedClipIsLoadedAndRewrittenByteForByte)
{
    QImage picture(320, 200, QImage::Format_RGB32);
    picture.fill(QColor(90, 160, 220));
    QByteArray uncompressed; // as earlier versions stored every image
    {
        QBuffer buffer(&uncompressed);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "tiff");
        writer.setCompression(0);
        ASSERT_TRUE(writer.write(picture));
    }
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
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "PNG");
    }
    const ImageConversion::Result fresh = ImageConversion::toStoredTiff(png, QStringLiteral("image/png"));
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
