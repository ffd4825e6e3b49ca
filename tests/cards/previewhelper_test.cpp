// Preview files: names, contents, replacement and clean-up, and the window.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include "cards/imagepreviewview.h"
#include "cards/previewwindow.h"
#include "cards/previewhelper.h"
#include "cardsamples.h"
#include "support/logcapture.h"

namespace {

ClipboardItem clip(ClipKind kind, const QByteArray &raw)
{
    ClipboardItem item = CardSamples::base(kind, 0);
    item.raw = raw;
    item.preview = QString::fromUtf8(raw.left(50));
    return item;
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

const QColor kPictureColour(214, 40, 160);

QByteArray picture(QSize size, const char *format = "PNG")
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(kPictureColour);
    return ClipSamples::encoded(image, format);
}

// Pixels of `shot` within `tol` of `color` on every channel.
int countColour(const QImage &shot, const QColor &color, int tol = 6)
{
    int n = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            n += std::abs(c.red() - color.red()) <= tol && std::abs(c.green() - color.green()) <= tol
                 && std::abs(c.blue() - color.blue()) <= tol;
        }
    return n;
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

struct FileCase
{
    const char *name;
    ClipKind kind;
    QByteArray raw;
    const char *ext; // fileExt, nullptr = none
    const char *file;
    QByteArray written; // empty: not checked
    PreviewWindow::Mode mode;
};

class PreviewFile : public PreviewHelperTest, public ::testing::WithParamInterface<FileCase> {};

TEST_P(PreviewFile, IsFixedPerKindAndHoldsTheClip)
{
    ClipboardItem item = clip(GetParam().kind, GetParam().raw);
    if (GetParam().ext)
        item.fileExt = QString::fromLatin1(GetParam().ext);
    if (GetParam().kind == ClipKind::FileURL)
        item.fileURLString = QStringLiteral("file:///nope/gone.bin");
    helper.show(item);
    EXPECT_EQ(helper.tempPath().value_or(QString()), path(GetParam().file));
    EXPECT_EQ(files(), QStringList{QString::fromLatin1(GetParam().file)});
    if (!GetParam().written.isEmpty())
        EXPECT_EQ(readAll(path(GetParam().file)), GetParam().written);
    EXPECT_EQ(helper.window()->mode(), GetParam().mode);
    helper.close();
}

const QByteArray kWebloc =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
    "<plist version=\"1.0\">\n<dict>\n    <key>URL</key>\n    <string>https://exemple.fr/a?b=1&amp;c=2</string>\n"
    "</dict>\n</plist>";

const QByteArray kBinary("\x00\x01\x02\xff\xfe", 5);
using M = PreviewWindow::Mode;
INSTANTIATE_TEST_SUITE_P(
    Kinds, PreviewFile,
    ::testing::Values(
        FileCase{"text_non_utf8_bytes_kept", ClipKind::Text, QByteArray("caf\xe9", 4), nullptr, "Bramblet_Preview.txt",
                 QByteArray("caf\xe9", 4), M::Text},
        FileCase{"rtf", ClipKind::Rtf, "{\\rtf1 x}", nullptr, "Bramblet_Preview.rtf", "{\\rtf1 x}", M::Text},
        FileCase{"url_as_web_location", ClipKind::Url, "https://exemple.fr/a?b=1&c=2", nullptr, "Bramblet_URL.webloc",
                 kWebloc, M::Link},
        FileCase{"image", ClipKind::Image, picture({4, 3}, "BMP"), nullptr, "Bramblet_Image.png", {}, M::Image},
        FileCase{"undecodable_image_keeps_its_bytes", ClipKind::Image, "garbage", nullptr, "Bramblet_Image.png",
                 "garbage", M::File},
        FileCase{"vanished_file_with_extension", ClipKind::FileURL, kBinary, "pdf", "Bramblet_File.pdf", kBinary, M::File},
        FileCase{"vanished_file_without_extension", ClipKind::FileURL, kBinary, nullptr, "Bramblet_File.dat", {}, M::File},
        FileCase{"extension_with_path_separator_is_not_used", ClipKind::FileURL, kBinary, "x/../../evil",
                 "Bramblet_File.dat", {}, M::File},
        FileCase{"unknown", ClipKind::Unknown, "abc", nullptr, "Bramblet_Unknown.txt", "abc", M::Text}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(PreviewHelperTest, ImageIsReencodedAsPngAndRtfShownAsPlainText)
{
    helper.show(clip(ClipKind::Image, picture({4, 3}, "BMP")));
    const QByteArray written = readAll(path("Bramblet_Image.png"));
    EXPECT_TRUE(written.startsWith("\x89PNG"));
    EXPECT_EQ(QImage::fromData(written).size(), QSize(4, 3));

    helper.show(clip(ClipKind::Rtf, "{\\rtf1\\ansi{\\fonttbl\\f0 Times;}\\f0 Bonjour\\par tout le monde}"));
    EXPECT_EQ(files(), QStringList{QStringLiteral("Bramblet_Preview.rtf")}) << "the image file is replaced";
    EXPECT_EQ(helper.window()->shownText(), QStringLiteral("Bonjour\ntout le monde"));
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
    EXPECT_EQ(helper.window()->mode(), PreviewWindow::Mode::File);
    EXPECT_EQ(helper.window()->shownText(), QStringLiteral("Budget 2024.ods"));
    helper.close();

    const QString sameName = path("Bramblet_Preview.txt"); // a user's file that happens to share our name
    writeFile(sameName, "keep me");
    helper.show(copiedFile(sameName));
    helper.close();
    EXPECT_EQ(readAll(sameName), QByteArray("keep me"));
}

TEST_F(PreviewHelperTest, CloseRemovesTheFileButNotWhenAlreadyHidden)
{
    helper.show(clip(ClipKind::Text, "x"));
    EXPECT_TRUE(helper.isVisible());
    helper.close();
    EXPECT_FALSE(helper.isVisible());
    EXPECT_TRUE(files().isEmpty());
    EXPECT_FALSE(helper.tempPath().has_value());
    EXPECT_EQ(helper.numberOfPreviewItems(), 1); // the clip stays current after closing

    helper.show(clip(ClipKind::Text, "x"));
    helper.window()->hide(); // hidden behind the helper's back
    helper.close();
    EXPECT_EQ(files(), QStringList{QStringLiteral("Bramblet_Preview.txt")});
}

TEST_F(PreviewHelperTest, WriteFailureLogsAnErrorAndShowsNothing)
{
    PreviewHelper broken(dir.filePath(QStringLiteral("missing/folder")));
    broken.show(clip(ClipKind::Text, "x"));
    EXPECT_FALSE(broken.tempPath().has_value());
    EXPECT_EQ(log.matching(QStringLiteral("Preview: Failed to create temp file: ")).size(), 1);
    EXPECT_EQ(broken.window()->mode(), PreviewWindow::Mode::Empty);
    broken.close();
}

struct CloseCase
{
    const char *name;
    std::function<void(PreviewHelper &, const ClipboardItem &)> act;
    bool closes;
};

class PreviewCloses : public PreviewHelperTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(PreviewCloses, AndCleansUp)
{
    const ClipboardItem item = clip(ClipKind::Text, "x");
    helper.show(item);
    GetParam().act(helper, item);
    EXPECT_EQ(helper.isVisible(), !GetParam().closes);
    EXPECT_EQ(files().isEmpty(), GetParam().closes);
    helper.close();
}

INSTANTIATE_TEST_SUITE_P(
    Ways, PreviewCloses,
    ::testing::Values(
        CloseCase{"space", [](PreviewHelper &h, const ClipboardItem &) { QTest::keyClick(h.window(), Qt::Key_Space); }, true},
        CloseCase{"escape", [](PreviewHelper &h, const ClipboardItem &) { QTest::keyClick(h.window(), Qt::Key_Escape); }, true},
        CloseCase{"letter_does_not", [](PreviewHelper &h, const ClipboardItem &) { QTest::keyClick(h.window(), Qt::Key_A); }, false},
        CloseCase{"toggle", [](PreviewHelper &h, const ClipboardItem &i) { h.toggle(i); }, true},
        CloseCase{"window_close_button", [](PreviewHelper &h, const ClipboardItem &) { h.window()->close(); }, true}),
    [](const auto &info) { return std::string(info.param.name); });

// At quit no event loop runs any more: the file must go with the helper itself.
TEST(PreviewHelperLifetime, DestroyingTheHelperRemovesItsFileAtOnce)
{
    QTemporaryDir own;
    {
        PreviewHelper temporary(own.path());
        temporary.show(clip(ClipKind::Text, "x"));
        ASSERT_TRUE(QFile::exists(own.filePath(QStringLiteral("Bramblet_Preview.txt"))));
    }
    EXPECT_FALSE(QFile::exists(own.filePath(QStringLiteral("Bramblet_Preview.txt"))));
}

// Defect: the picture was scaled once, when loaded, to the size its page had
// then; a page never laid out yet is 100×30, so an 800×500 image opened first
// showed as 48×30 in the middle of the window. A small picture is never
// enlarged; one larger than the screen is scaled down to fit it.
TEST_F(PreviewHelperTest, ImageIsShownAtItsSizeUnlessLargerThanTheScreen)
{
    helper.show(clip(ClipKind::Image, picture({800, 500})));
    PreviewWindow *window = helper.window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    // At least 700×430 of the picture, scaled down only if the screen is smaller.
    EXPECT_GE(countColour(window->grab().toImage(), kPictureColour), 700 * 430);
    EXPECT_GE(window->imageView()->pictureRect().width(), 700);
    EXPECT_GE(window->imageView()->pictureRect().height(), 430);
    helper.close();

    helper.show(clip(ClipKind::Image, picture({120, 80})));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_EQ(window->imageView()->pictureRect().size(), QSize(120, 80));
    helper.close();

    // A picture this large is decoded on a worker: nothing is shown or
    // written until it is ready, and then both are.
    helper.show(clip(ClipKind::Image, picture({4000, 1000})));
    EXPECT_TRUE(helper.isPreparing());
    EXPECT_FALSE(helper.isVisible());
    EXPECT_FALSE(helper.tempPath().has_value());
    ASSERT_TRUE(QTest::qWaitFor([&] { return helper.isVisible(); }, 20000));
    EXPECT_FALSE(helper.isPreparing());
    EXPECT_EQ(QImage::fromData(readAll(path("Bramblet_Image.png"))).size(), QSize(4000, 1000));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    const QRect avail = window->screen()->availableGeometry();
    EXPECT_LE(window->width(), avail.width());
    EXPECT_LE(window->height(), avail.height());
    const QRect shown = window->imageView()->pictureRect();
    EXPECT_EQ(shown.width(), window->imageView()->width());
    EXPECT_NEAR(double(shown.width()) / shown.height(), 4.0, 0.05);
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
    EXPECT_EQ(helper.window()->mode(), PreviewWindow::Mode::Text);
    helper.close();
    EXPECT_TRUE(files().isEmpty());
}

// Every format a preview file can be in shows at its pixel size: 8- and
// 16-bit PNG, JPEG, the stored TIFF form, a picture whose resolution says
// 300 dpi, and a file whose "@2x" name makes Qt read it at a pixel ratio of 2.
struct PreviewFormat
{
    const char *name;
    const char *file;
    const char *format;
    QImage::Format pixels;
    int dotsPerMeter; // 0: left as Qt sets it
};

class PreviewImageFormat : public ::testing::TestWithParam<PreviewFormat> {};

TEST_P(PreviewImageFormat, ShowsEveryPixel)
{
    QTemporaryDir dir;
    QImage picture(400, 250, GetParam().pixels);
    picture.fill(kPictureColour);
    if (GetParam().dotsPerMeter) {
        picture.setDotsPerMeterX(GetParam().dotsPerMeter);
        picture.setDotsPerMeterY(GetParam().dotsPerMeter);
    }
    const QString path = dir.filePath(QString::fromLatin1(GetParam().file));
    ASSERT_TRUE(picture.save(path, GetParam().format));
    PreviewWindow window;
    window.load(path);
    ASSERT_EQ(window.mode(), PreviewWindow::Mode::Image);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.imageView()->pictureRect().size(), QSize(400, 250));
    EXPECT_GE(countColour(window.grab().toImage(), kPictureColour, 10), 400 * 250 * 95 / 100);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, PreviewImageFormat,
    ::testing::Values(PreviewFormat{"png8", "a.png", "PNG", QImage::Format_RGB32, 0},
                      PreviewFormat{"png16", "a.png", "PNG", QImage::Format_RGBA64, 0},
                      PreviewFormat{"jpeg", "a.jpg", "JPEG", QImage::Format_RGB32, 0},
                      PreviewFormat{"tiff", "a.tiff", "TIFF", QImage::Format_ARGB32, 0},
                      PreviewFormat{"png_300_dpi", "a.png", "PNG", QImage::Format_RGB32, 11811},
                      PreviewFormat{"png_at_2x_name", "shot@2x.png", "PNG", QImage::Format_RGB32, 0}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
