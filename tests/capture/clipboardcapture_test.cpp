// Turning clipboard content into one clip: the order of kinds, the MIME
// types read (and only those needed), the fields of each kind, secrets and
// our own writes, and the file thumbnail job.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include "capture/clipboardcapture.h"
#include "capture/graphemes.h"
#include "model/referencedate.h"
#include "platform/fake/fakeactivewindow.h"
#include "platform/fake/fakeclipboard.h"
#include "platform/fake/fakeclock.h"
#include "platform/fake/fakefileicons.h"
#include "support/clipsamples.h"
#include "support/logcapture.h"

namespace {

QImage picture(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::green);
    return image;
}

class CaptureTest : public ::testing::Test
{
protected:
    CaptureTest() : capture(activeWindow, clock, icons)
    {
        activeWindow.setFrontmost(WindowRef{9, QStringLiteral("org.gnome.TextEditor"), {}, {}, false});
        capture.setThumbnailSink([this](const QUuid &id, const QByteArray &png) { thumbnails.append({id, png}); });
    }

    std::optional<ClipboardItem> copy(const FakeClipboard::Entries &entries)
    {
        clipboard.copyFromOtherProgram(entries);
        clipboard.clearReads();
        return capture.captureItem(clipboard);
    }

    FakeClipboard clipboard;
    FakeActiveWindow activeWindow;
    FakeClock clock;
    FakeFileIcons icons;
    ClipboardCapture capture;
    QList<QPair<QUuid, QByteArray>> thumbnails;
    LogCapture log;
};

// One clip per copy: the kind that wins, and the fields it fills.
struct KindRow
{
    const char *name;
    FakeClipboard::Entries entries;
    ClipKind kind;
    QString uti;
    QByteArray raw;
    QString preview;
    std::optional<qint64> chars;
    std::optional<QString> fileExt = std::nullopt; // a file clip's; its name is its preview
    QStringList reads = {};                        // checked when not empty
};

class CaptureKinds : public CaptureTest, public ::testing::WithParamInterface<KindRow> {};

TEST_P(CaptureKinds, fill_the_clip)
{
    const KindRow &row = GetParam();
    const auto item = copy(row.entries);
    ASSERT_TRUE(item);
    EXPECT_EQ(item->kind, row.kind);
    EXPECT_EQ(item->dataUTI, row.uti);
    EXPECT_EQ(item->raw.bytes(), row.raw);
    EXPECT_EQ(item->preview, row.preview);
    EXPECT_EQ(item->textCharCount, row.chars);
    EXPECT_EQ(item->fileExt, row.fileExt);
    if (!row.reads.isEmpty()) {
        EXPECT_EQ(clipboard.reads(), row.reads);
    }
    // A file clip keeps its URL text, the same as its bytes.
    const bool file = row.kind == ClipKind::FileURL;
    EXPECT_EQ(item->fileURLString, file ? std::optional(QString::fromUtf8(row.raw)) : std::nullopt);
    EXPECT_EQ(item->fileName, file ? std::optional(row.preview) : std::nullopt);
    // The fields every clip gets.
    EXPECT_FALSE(item->id.isNull());
    EXPECT_DOUBLE_EQ(item->createdAt, referenceDateFromUnix(clock.now()));
    EXPECT_FALSE(item->pinned || item->folderId || item->thumbnailPNG);
    EXPECT_EQ(item->sourceBundleID, QStringLiteral("org.gnome.TextEditor"));
}

const QString kFamily = QString::fromUtf8("👨‍👩‍👧‍👦");
const QByteArray kRtf = "{\\rtf1\\ansi {\\b Gras} texte}";
const QByteArray kBadRtf = "{\\rtf1 " + QByteArray(1234 - 7, 'x'); // never closed
const QString kUtf16Link = QStringLiteral("https://www.debian.org/\nDebian");

INSTANTIATE_TEST_SUITE_P(Rows, CaptureKinds, ::testing::Values(
    // Only the needed types are read, stopping at the first found.
    KindRow{"plain_text", {{"text/plain", "Bonjour"}, {"text/html", "<b>Bonjour</b>"}, {"application/x-slow", "..."}},
            ClipKind::Text, "public.plain-text", "Bonjour", "Bonjour", 7, std::nullopt, {"text/plain"}},
    KindRow{"preview_is_cut_to_500_characters_an_emoji_sequence_counting_as_one",
            {{"text/plain;charset=utf-8", kFamily.repeated(501).toUtf8()}}, ClipKind::Text, "public.plain-text",
            kFamily.repeated(501).toUtf8(), kFamily.repeated(500), 501},
    KindRow{"empty_string_still_gives_a_clip", {{"text/plain", {}}}, ClipKind::Text, "public.plain-text", {}, {}, 0},
    KindRow{"latin1_text_is_stored_as_utf8", {{"text/plain", "caf\xE9"}}, ClipKind::Text, "public.plain-text",
            "caf\xC3\xA9", QString::fromUtf8("café"), 4},
    KindRow{"rtf_wins_over_plain_text_and_keeps_its_bytes", {{"text/plain", "Gras texte"}, {"text/rtf", kRtf}},
            ClipKind::Rtf, "public.rtf", kRtf, "Gras texte", 10, std::nullopt, {"text/rtf"}},
    KindRow{"malformed_rtf_keeps_bytes_with_size_preview", {{"text/richtext", kBadRtf}}, ClipKind::Rtf,
            "public.rtf", kBadRtf, "RTF (1234 o)", 12},
    KindRow{"link_with_title", {{"text/plain", "Exemple"}, {"text/x-moz-url", "https://example.org/été\nExemple"}},
            ClipKind::Url, "public.url", "https://example.org/été", QString::fromUtf8("https://example.org/été"), 23},
    KindRow{"utf16_link_as_firefox_writes_it",
            {{"text/x-moz-url", QByteArray(reinterpret_cast<const char *>(kUtf16Link.utf16()), kUtf16Link.size() * 2)}},
            ClipKind::Url, "public.url", "https://www.debian.org/", "https://www.debian.org/", 23},
    KindRow{"uri_list_with_web_url", {{"text/uri-list", "# comment\r\nhttps://a.example/x\r\n"}}, ClipKind::Url,
            "public.url", "https://a.example/x", "https://a.example/x", 19},
    KindRow{"three_files_give_one_clip_for_the_first",
            {{"text/uri-list", "file:///nowhere/Photo%201.JPG\r\nfile:///tmp/b.txt\r\nfile:///tmp/c\r\n"}},
            ClipKind::FileURL, "public.file-url", "file:///nowhere/Photo%201.JPG", "Photo 1.JPG", std::nullopt, "jpg"},
    KindRow{"gnome_copied_files_are_files", {{"x-special/gnome-copied-files", "cut\nfile:///nowhere/notes"}},
            ClipKind::FileURL, "public.file-url", "file:///nowhere/notes", "notes", std::nullopt, QString()},
    KindRow{"folder_with_trailing_slash_is_named_after_the_folder", {{"text/uri-list", "file:///nowhere/Documents/"}},
            ClipKind::FileURL, "public.file-url", "file:///nowhere/Documents/", "Documents", std::nullopt, QString()},
    KindRow{"hidden_file_has_no_extension", {{"text/uri-list", "file:///nowhere/.bashrc"}}, ClipKind::FileURL,
            "public.file-url", "file:///nowhere/.bashrc", ".bashrc", std::nullopt, QString()},
    KindRow{"file_copy_wins_over_its_icon_image_and_name_text",
            {{"text/plain", "a.txt"}, {"image/png", "png"}, {"text/uri-list", "file:///nowhere/a.txt"}},
            ClipKind::FileURL, "public.file-url", "file:///nowhere/a.txt", "a.txt", std::nullopt, "txt", {"text/uri-list"}}),
    [](const auto &info) { return std::string(info.param.name); });

// An image wins over a link and is stored as compact, lossless TIFF. An
// offered TIFF already compressed (LZW) is kept byte for byte: re-encoding
// would gain little and could drop what a decoded picture does not hold.
TEST_F(CaptureTest, images_are_stored_as_compact_lossless_tiff_and_a_compressed_tiff_as_offered)
{
    QImage shot(640, 400, QImage::Format_ARGB32);
    shot.fill(QColor(240, 240, 244));
    {
        QPainter p(&shot);
        p.fillRect(QRect(0, 0, 120, 400), QColor(43, 45, 49));
        p.fillRect(QRect(20, 20, 80, 30), QColor(10, 132, 255, 180));
        p.drawText(QRect(140, 20, 480, 360), Qt::TextWordWrap, QStringLiteral("Réunion déplacée à 14 h 30. ").repeated(20));
    }
    auto item = copy({{QStringLiteral("image/png"), ClipSamples::encoded(shot, "PNG", 80)},
                      {QStringLiteral("text/x-moz-url"), QByteArray("https://x.example/i.png")}});
    ASSERT_TRUE(item);
    EXPECT_EQ(item->kind, ClipKind::Image);
    EXPECT_EQ(item->dataUTI, QStringLiteral("public.tiff"));
    EXPECT_EQ(item->preview, QStringLiteral("📷 Image 640×400"));
    EXPECT_FALSE(item->textCharCount);
    // Uncompressed, 640×400 RGBA is 1 MB; a screenshot compresses far below.
    EXPECT_LT(item->raw.size(), 640 * 400 * 4 / 10);
    EXPECT_EQ(QImage::fromData(item->raw.bytes(), "TIFF").convertToFormat(QImage::Format_ARGB32), shot);

    for (const int lzw : {0, 1}) {
        QByteArray tiff;
        QBuffer buffer(&tiff);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "tiff");
        writer.setCompression(lzw);
        ASSERT_TRUE(writer.write(picture(300, 200)));
        item = copy({{QStringLiteral("image/tiff"), tiff}});
        ASSERT_TRUE(item);
        if (lzw) {
            EXPECT_EQ(item->raw.bytes(), tiff);
        } else {
            EXPECT_LT(item->raw.size(), tiff.size() / 10);
        }
    }
}

// A picture too large (refused from its header) or undecodable is logged
// once and the next kind is taken.
TEST_F(CaptureTest, refused_or_undecodable_image_is_logged_and_the_next_kind_taken)
{
    for (const QByteArray &bad : {ClipSamples::encoded(picture(16385, 2), "PNG", 80), QByteArray("garbage")}) {
        log.clear();
        const auto item = copy({{QStringLiteral("image/png"), bad}, {QStringLiteral("text/plain"), QByteArray("alt")}});
        ASSERT_TRUE(item);
        EXPECT_EQ(item->kind, ClipKind::Text);
        EXPECT_EQ(log.matching(QStringLiteral("Watcher: clipboard image")).size(), 1);
    }
}

TEST_F(CaptureTest, private_types_an_empty_clipboard_our_own_write_and_a_secret_give_no_clip)
{
    EXPECT_FALSE(copy({{QStringLiteral("application/x-private"), QByteArray("?")}}));
    EXPECT_FALSE(copy({}));
    clipboard.write({{{QStringLiteral("text/plain"), QByteArray("pasted")}}, {}});
    EXPECT_FALSE(capture.captureItem(clipboard));

    // A secret is skipped without reading its content.
    EXPECT_FALSE(copy({{QStringLiteral("x-kde-passwordManagerHint"), QByteArray("secret")},
                       {QStringLiteral("text/plain"), QByteArray("hunter2")}}));
    EXPECT_FALSE(clipboard.reads().contains(QStringLiteral("text/plain")));
    EXPECT_TRUE(log.lines(Log::Level::Info).contains(QStringLiteral("Watcher: secret from a password manager skipped")));
    EXPECT_FALSE(log.lines().join(u'\n').contains(QLatin1String("hunter2")));
    // Any other hint is no secret; with no window in front the source is unknown.
    activeWindow.setFrontmost(std::nullopt);
    const auto item = copy({{QStringLiteral("x-kde-passwordManagerHint"), QByteArray("public")},
                            {QStringLiteral("text/plain"), QByteArray("x")}});
    ASSERT_TRUE(item);
    EXPECT_FALSE(item->sourceBundleID);
}

// Made off the capture call and delivered later: a picture file gets a PNG
// within 256 px, a file without extension or a folder its type icon, and an
// undecodable picture or a type with no icon nothing.
TEST_F(CaptureTest, file_thumbnails_come_later_from_the_picture_or_the_type_icon)
{
    QTemporaryDir dir;
    const QString photo = dir.path() + QStringLiteral("/Photo.JPG");
    const QString readme = dir.path() + QStringLiteral("/README");
    const QString broken = dir.path() + QStringLiteral("/broken.png");
    ASSERT_TRUE(picture(800, 400).save(photo, "JPG"));
    QFile(readme).open(QIODevice::WriteOnly);
    QFile f(broken);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a png");
    f.close();
    const auto copyFile = [this](const QString &path) {
        return copy({{QStringLiteral("text/uri-list"), QUrl::fromLocalFile(path).toEncoded()}});
    };
    const auto item = copyFile(photo);
    ASSERT_TRUE(item);
    EXPECT_TRUE(thumbnails.isEmpty()); // never inside the capture call
    copyFile(readme);
    copyFile(dir.path());
    ASSERT_TRUE(QTest::qWaitFor([&] { return thumbnails.size() == 3; }, 5000));
    EXPECT_EQ(icons.iconCalls.load(), 2);
    for (const auto &[id, png] : std::as_const(thumbnails)) {
        const QImage image = QImage::fromData(png, "PNG");
        if (id == item->id)
            EXPECT_EQ(image.size(), QSize(256, 128));
        else
            EXPECT_EQ(image.pixelColor(1, 1), QColor(Qt::blue));
    }

    icons.hasIcons = false;
    copyFile(broken);
    copy({{QStringLiteral("text/uri-list"), QByteArray("file:///nonexistent/folder/")}});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !log.matching(QStringLiteral("Capture: no thumbnail")).isEmpty(); }, 5000));
    capture.thumbnailer().waitForIdle();
    QCoreApplication::processEvents();
    EXPECT_EQ(thumbnails.size(), 3);
    EXPECT_EQ(icons.iconCalls.load(), 3);
}

TEST(Graphemes, count_and_cut_whole_clusters)
{
    const QList<QPair<const char *, qsizetype>> counts = {
        {"", 0},  {"e\u0301", 1}, {"👨‍👩‍👧‍👦", 1},   {"👍🏽", 1},       {"🇫🇷", 1},
        {"👨‍👩‍👧‍👦🇫🇷", 2}, {"🇫🇷🇩", 2},      {"a\r\nb", 3}};
    for (const auto &[text, count] : counts)
        EXPECT_EQ(Graphemes::count(QString::fromUtf8(text)), count) << text;
    const QString text = QString::fromUtf8("a👨‍👩‍👧‍👦🇫🇷b");
    EXPECT_EQ(Graphemes::left(text, 2), QString::fromUtf8("a👨‍👩‍👧‍👦"));
    EXPECT_EQ(Graphemes::left(text, 3), QString::fromUtf8("a👨‍👩‍👧‍👦🇫🇷"));
    EXPECT_EQ(Graphemes::left(text, 10), text);
    EXPECT_EQ(Graphemes::left(text, 0), QString());
}

// ------------------------------------------------ types a backend reads

struct TypesRow
{
    const char *name;
    QStringList offered;
    QStringList read;
};

class TypesToRead : public ::testing::TestWithParam<TypesRow> {};

TEST_P(TypesToRead, picks_one_type_per_kind_in_preference_order)
{
    EXPECT_EQ(ClipboardCapture::typesToRead(GetParam().offered), GetParam().read);
}

INSTANTIATE_TEST_SUITE_P(Rows, TypesToRead, ::testing::Values(
    TypesRow{"our_own_write_reads_nothing", {"text/plain", "application/x-bramblet-own"}, {}},
    TypesRow{"one_text_type_of_several", {"TEXT", "text/plain", "UTF8_STRING", "text/plain;charset=utf-8"},
             {"UTF8_STRING"}},
    TypesRow{"one_image_type_lossless_first", {"image/jpeg", "image/bmp", "image/png"}, {"image/png"}},
    TypesRow{"other_decodable_image_type", {"image/x-portable-pixmap", "text/html"}, {"image/x-portable-pixmap"}},
    TypesRow{"undecodable_image_type_is_not_read", {"image/x-unknown-thing"}, {}},
    TypesRow{"files_with_their_name_as_text", {"text/plain", "text/uri-list", "x-special/gnome-copied-files"},
             {"text/uri-list", "x-special/gnome-copied-files", "text/plain"}},
    TypesRow{"password_hint_first", {"text/plain", "x-kde-passwordManagerHint"},
             {"x-kde-passwordManagerHint", "text/plain"}},
    TypesRow{"link_rich_text_and_text", {"text/plain", "text/rtf", "application/rtf", "text/x-moz-url", "text/html"},
             {"text/x-moz-url", "text/rtf", "text/plain"}},
    TypesRow{"private_type_only", {"application/x-private"}, {}}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
