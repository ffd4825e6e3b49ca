// Preview files: names, contents, replacement and clean-up, and the window.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include "cards/imagepreviewview.h"
#include "cards/previewhelper.h"
#include "cards/previewwindow.h"
#include "cardsamples.h"
#include "support/logcapture.h"

namespace {

using M = PreviewWindow::Mode;
const QColor kPictureColour(214, 40, 160);

ClipboardItem clip(ClipKind kind, const QByteArray &raw)
{
    return CardSamples::clip(kind, raw, QString::fromUtf8(raw.left(50)));
}

ClipboardItem copiedFile(const QString &path)
{
    ClipboardItem item = clip(ClipKind::FileURL, QUrl::fromLocalFile(path).toString().toUtf8());
    item.fileURLString = QUrl::fromLocalFile(path).toString();
    return item;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray picture(QSize size, const char *format = "PNG")
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(kPictureColour);
    return ClipSamples::encoded(image, format);
}

class PreviewHelperTest : public ::testing::Test
{
protected:
    QString path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files, QDir::Name); }

    QTemporaryDir dir;
    QTemporaryDir elsewhere;
    LogCapture log;
    PreviewHelper helper{dir.path()};
};

TEST_F(PreviewHelperTest, FileIsFixedPerKindAndHoldsTheClip)
{
    const QByteArray binary("\x00\x01\x02\xff\xfe", 5);
    const struct {
        const char *name;
        ClipKind kind;
        QByteArray raw;
        const char *ext; // fileExt, nullptr = none
        const char *file;
        QByteArray written; // empty: not checked
        M mode;
    } rows[] = {
        {"text_non_utf8_bytes_kept", ClipKind::Text, "caf\xe9", nullptr, "Bramblet_Preview.txt", "caf\xe9", M::Text},
        {"url_as_web_location", ClipKind::Url, "https://exemple.fr/a?b=1&c=2", nullptr, "Bramblet_URL.webloc",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
         "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n<plist version=\"1.0\">\n<dict>\n    <key>URL</key>\n"
         "    <string>https://exemple.fr/a?b=1&amp;c=2</string>\n</dict>\n</plist>",
         M::Link},
        {"undecodable_image_keeps_its_bytes", ClipKind::Image, "garbage", nullptr, "Bramblet_Image.png", "garbage",
         M::File},
        {"vanished_file_with_extension", ClipKind::FileURL, binary, "pdf", "Bramblet_File.pdf", binary, M::File},
        {"extension_with_path_separator_is_not_used", ClipKind::FileURL, binary, "x/../../evil", "Bramblet_File.dat", {},
         M::File},
        {"unknown", ClipKind::Unknown, "abc", nullptr, "Bramblet_Unknown.txt", "abc", M::Text}};
    for (const auto &row : rows) {
        ClipboardItem item = clip(row.kind, row.raw);
        if (row.ext)
            item.fileExt = QString::fromLatin1(row.ext);
        if (row.kind == ClipKind::FileURL)
            item.fileURLString = QStringLiteral("file:///nope/gone.bin");
        helper.show(item);
        EXPECT_EQ(helper.tempPath().value_or(QString()), path(row.file)) << row.name;
        EXPECT_EQ(files(), QStringList{QString::fromLatin1(row.file)}) << row.name;
        if (!row.written.isEmpty()) {
            EXPECT_EQ(readAll(path(row.file)), row.written) << row.name;
        }
        EXPECT_EQ(helper.window()->mode(), row.mode) << row.name;
    }

    helper.show(clip(ClipKind::Image, picture({4, 3}, "BMP")));
    const QByteArray written = readAll(path("Bramblet_Image.png"));
    EXPECT_TRUE(written.startsWith("\x89PNG")) << "an image is written as PNG";
    EXPECT_EQ(QImage::fromData(written).size(), QSize(4, 3));
    EXPECT_EQ(helper.window()->mode(), M::Image);
    helper.show(clip(ClipKind::Rtf, "{\\rtf1\\ansi{\\fonttbl\\f0 Times;}\\f0 Bonjour\\par tout le monde}"));
    EXPECT_EQ(files(), QStringList{QStringLiteral("Bramblet_Preview.rtf")}) << "the image file is replaced";
    EXPECT_EQ(helper.window()->shownText(), QStringLiteral("Bonjour\ntout le monde"));
    helper.close();
}

TEST_F(PreviewHelperTest, ExistingCopiedFileIsShownItselfAndNeverRemovedEvenInTheTempFolder)
{
    const QString original = elsewhere.filePath(QStringLiteral("rapport.txt"));
    writeFile(original, "contenu");
    helper.show(copiedFile(original));
    EXPECT_EQ(helper.tempPath().value_or(QString()), original);
    EXPECT_TRUE(files().isEmpty());
    EXPECT_EQ(helper.window()->shownText(), QStringLiteral("contenu"));
    helper.close();
    EXPECT_TRUE(QFile::exists(original));

    const QString sheet = elsewhere.filePath(QStringLiteral("Budget 2024.ods")); // no text view: its name
    writeFile(sheet, QByteArray(48'000, '\x7f'));
    helper.show(copiedFile(sheet));
    EXPECT_EQ(helper.window()->mode(), M::File);
    EXPECT_EQ(helper.window()->shownText(), QStringLiteral("Budget 2024.ods"));

    const QString sameName = path("Bramblet_Preview.txt"); // a user's file that happens to share our name
    writeFile(sameName, "keep me");
    helper.show(copiedFile(sameName));
    helper.close();
    EXPECT_EQ(readAll(sameName), QByteArray("keep me"));
}

// Space, Escape, the overlay's toggle and the window's close button close the
// preview and remove its file; a window hidden behind the helper's back keeps it.
TEST_F(PreviewHelperTest, EveryWayToCloseRemovesTheFile)
{
    const ClipboardItem item = clip(ClipKind::Text, "x");
    const QList<std::function<void()>> ways = {[&] { QTest::keyClick(helper.window(), Qt::Key_Space); },
                                               [&] { QTest::keyClick(helper.window(), Qt::Key_Escape); },
                                               [&] { helper.toggle(item); }, [&] { helper.window()->close(); },
                                               [&] { helper.close(); }};
    for (const auto &close : ways) {
        helper.show(item);
        QTest::keyClick(helper.window(), Qt::Key_A); // any other key does not
        ASSERT_TRUE(helper.isVisible());
        close();
        EXPECT_FALSE(helper.isVisible());
        EXPECT_TRUE(files().isEmpty());
        EXPECT_FALSE(helper.tempPath().has_value());
    }

    helper.show(item);
    helper.window()->hide();
    helper.close();
    EXPECT_EQ(files(), QStringList{QStringLiteral("Bramblet_Preview.txt")});

    // At quit no event loop runs any more: the file must go with the helper itself.
    QTemporaryDir own;
    auto quitting = std::make_unique<PreviewHelper>(own.path());
    quitting->show(item);
    ASSERT_TRUE(QFile::exists(own.filePath(QStringLiteral("Bramblet_Preview.txt"))));
    quitting.reset();
    EXPECT_FALSE(QFile::exists(own.filePath(QStringLiteral("Bramblet_Preview.txt"))));
}

TEST_F(PreviewHelperTest, WriteFailureLogsAnErrorAndShowsNothing)
{
    PreviewHelper broken(dir.filePath(QStringLiteral("missing/folder")));
    broken.show(clip(ClipKind::Text, "x"));
    EXPECT_FALSE(broken.tempPath().has_value());
    EXPECT_EQ(log.matching(QStringLiteral("Preview: Failed to create temp file: ")).size(), 1);
    EXPECT_EQ(broken.window()->mode(), M::Empty);
}

// A picture larger than the screen is decoded on a worker: nothing is shown
// or written until it is ready, then both are, the window within the
// screen and the picture whole in its shape. One taller than the room above
// the strip is shown smaller, whole and in its shape, above the strip rather
// than partly behind it.
TEST_F(PreviewHelperTest, LargeImageIsPreparedOffTheMainThreadAndFitsTheScreenAndAboveTheStrip)
{
    QRect strip;
    helper.setSourceFrameProvider([&strip] { return strip; });
    helper.show(clip(ClipKind::Image, picture({4000, 1000})));
    EXPECT_TRUE(helper.isPreparing());
    EXPECT_FALSE(helper.isVisible());
    EXPECT_FALSE(helper.tempPath().has_value());
    ASSERT_TRUE(QTest::qWaitFor([&] { return helper.isVisible(); }, 20000));
    EXPECT_EQ(QImage::fromData(readAll(path("Bramblet_Image.png"))).size(), QSize(4000, 1000));
    PreviewWindow *window = helper.window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    const QRect avail = window->screen()->availableGeometry();
    EXPECT_LE(window->width(), avail.width());
    EXPECT_LE(window->height(), avail.height());
    const QRect shown = window->imageView()->pictureRect();
    EXPECT_EQ(shown.width(), window->imageView()->width());
    EXPECT_NEAR(double(shown.width()) / shown.height(), 4.0, 0.05);
    helper.close();

    strip = QRect(avail.left(), avail.bottom() - avail.height() / 3, avail.width(), avail.height() / 3);
    helper.show(clip(ClipKind::Image, picture({1500, 1000})));
    ASSERT_TRUE(QTest::qWaitFor([&] { return helper.isVisible(); }, 20000));
    window = helper.window();
    const QRect frame = window->frameGeometry();
    EXPECT_LT(frame.bottom(), strip.top());
    EXPECT_GE(frame.top(), avail.top());
    EXPECT_NEAR(double(window->width()) / window->height(), 1.5, 0.02);
    helper.close();
}

// Closing, or asking for another clip, before a large picture is ready drops
// it: the window never shows it and its file does not stay behind.
TEST_F(PreviewHelperTest, LargeImageOvertakenBeforeItIsReadyIsDropped)
{
    const ClipboardItem large = clip(ClipKind::Image, picture({3000, 2000}));
    helper.show(large);
    helper.toggle(large); // Space again: closes what is on its way
    EXPECT_FALSE(helper.isPreparing());
    helper.show(large);
    helper.show(clip(ClipKind::Text, "plus tard"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return helper.workersRunning() == 0; }, 20000));
    EXPECT_EQ(files(), QStringList{QStringLiteral("Bramblet_Preview.txt")});
    EXPECT_EQ(helper.window()->mode(), M::Text);
    helper.close();
    EXPECT_TRUE(files().isEmpty());
}

} // namespace
