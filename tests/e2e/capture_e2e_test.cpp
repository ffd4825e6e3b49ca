// The real program captures what other programs copy: xclip puts a text, an
// image, a file list, RTF, a link, an image file and Latin-1 text on the CLIPBOARD
// selection, and each becomes the right clip in items.json within a second;
// a secret is not stored; the clipboard outlives its owner;
// fast series of copies, and small copies made while a large one is still
// being read, are all kept in the order they were made.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QImage>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

#include <xcb/xcb.h>

#include "support/clipsamples.h"
#include "support/e2esteps.h"
#include "support/e2etest.h"
#include "support/patience.h"

namespace {

// The window owning the CLIPBOARD selection now (0 when none).
quint32 clipboardOwner()
{
    static xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    static const xcb_atom_t clipboard = [] {
        auto *r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, 9, "CLIPBOARD"), nullptr);
        const xcb_atom_t a = r ? r->atom : 0;
        free(r);
        return a;
    }();
    auto *r = xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, clipboard), nullptr);
    const quint32 owner = r ? r->owner : 0;
    free(r);
    return owner;
}

// Copies with xclip and waits until that copy owns the selection: xclip
// returns from a child that takes it later, so two quick copies can
// otherwise take it in the wrong order.
bool copyInTurn(const QByteArray &bytes)
{
    const quint32 before = clipboardOwner();
    return copyWithXclip(bytes) == 0 && waitUntil([&] { return clipboardOwner() != before; }, 5000);
}

class CaptureE2E : public E2ETest
{
protected:
    CaptureE2E() : E2ETest({QStringLiteral("xclip")}, true) {}

    QJsonObject copyAndWaitForClip(const QString &type, const QByteArray &bytes, int count, int timeoutMs = 1000)
    {
        EXPECT_EQ(copyWithXclip(bytes, type), 0);
        return newestClip(count, timeoutMs);
    }
};

TEST_F(CaptureE2E, each_kind_becomes_the_right_clip_a_secret_is_not_stored_and_the_clipboard_outlives_its_owner)
{
    const QString fields = QStringLiteral("kind preview dataUTI");
    QJsonObject clip = copyAndWaitForClip(QStringLiteral("UTF8_STRING"), QByteArray("Bonjour é"), 1);
    EXPECT_EQ(clipFields(clip, fields), "text | Bonjour é | public.plain-text");
    // xclip offers one type per run; a password manager offers the hint next
    // to the text. The hint alone already marks the content as secret.
    ASSERT_EQ(copyWithXclip(QByteArray("secret"), QStringLiteral("x-kde-passwordManagerHint")), 0);
    EXPECT_TRUE(app.waitForLog(QStringLiteral("Watcher: secret from a password manager skipped"), 3000));
    EXPECT_EQ(readItems(app.itemsPath()).size(), 1);

    clip = copyAndWaitForClip(QStringLiteral("image/png"), ClipSamples::png(64, 48, Qt::darkCyan), 2);
    EXPECT_EQ(clipFields(clip, fields), "image | 📷 Image 64×48 | public.tiff");

    clip = copyAndWaitForClip(QStringLiteral("text/uri-list"), QByteArray("file:///etc/hostname\r\nfile:///etc/passwd\r\n"), 3);
    EXPECT_EQ(clipFields(clip, QStringLiteral("kind fileName")), "fileURL | hostname");

    clip = copyAndWaitForClip(QStringLiteral("text/rtf"), QByteArray("{\\rtf1\\ansi {\\b Gras} et \\'e9t\\'e9}"), 4);
    EXPECT_EQ(clipFields(clip, QStringLiteral("kind preview")), "rtf | Gras et été");

    clip = copyAndWaitForClip(QStringLiteral("text/x-moz-url"), QByteArray("https://www.debian.org/\nDebian"), 5);
    EXPECT_EQ(clipFields(clip, QStringLiteral("kind preview")), "url | https://www.debian.org/");

    // A copied image file gets its PNG thumbnail.
    QTemporaryDir files;
    const QString path = files.path() + QStringLiteral("/Vacances.PNG");
    QImage image(600, 300, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    ASSERT_TRUE(image.save(path, "PNG"));
    clip = copyAndWaitForClip(QStringLiteral("text/uri-list"), QUrl::fromLocalFile(path).toEncoded(), 6);
    EXPECT_EQ(clipFields(clip, QStringLiteral("fileExt")), "png");
    QImage thumb;
    ASSERT_TRUE(waitUntil([&] {
        const QString b64 = newestClip(6).value(QStringLiteral("thumbnailPNG")).toString();
        thumb = QImage::fromData(QByteArray::fromBase64(b64.toLatin1()), "PNG");
        return !thumb.isNull();
    }, 5000)) << app.log().toStdString();
    EXPECT_EQ(thumb.size(), QSize(256, 128));
    EXPECT_EQ(thumb.pixelColor(10, 10), QColor(Qt::magenta));

    // An old program that offers only Latin-1 STRING still gives text.
    clip = copyAndWaitForClip(QStringLiteral("STRING"), QByteArray("caf\xe9", 4), 7);
    EXPECT_EQ(clipFields(clip, QStringLiteral("preview")), "café");

    // The clipboard outlives its owner: xclip in the foreground owns the
    // selection until we end it.
    QProcess owner;
    owner.start(QStringLiteral("xclip"), words(QStringLiteral("-quiet -selection clipboard -t UTF8_STRING -i")));
    ASSERT_TRUE(owner.waitForStarted(5000));
    owner.write("garde-moi");
    owner.closeWriteChannel();
    newestClip(8, 3000);
    owner.kill();
    owner.waitForFinished(3000);

    EXPECT_TRUE(app.waitForLog(QStringLiteral("Watcher: clipboard kept after its owner quit (text)"), 3000))
        << app.log().toStdString();
    EXPECT_TRUE(waitUntil([&] { return clipboardText() == "garde-moi"; }, 3000)) << clipboardText().toStdString();
    // Our own write must not come back as a clip. The watcher hands changes
    // over in order, so once a later copy is stored the write has been seen.
    ASSERT_TRUE(copy("après"));
    newestClip(9); // items.json is written a moment after the insert
    EXPECT_EQ(storedPreviews(app.itemsPath()).mid(7), (QStringList{QStringLiteral("garde-moi"), QStringLiteral("après")}));
}

// xclip answers every type with its one content and serves one transfer in
// pieces at a time, so the text asked for ahead of the type list holds up a
// large picture unless it is drained first. Regression: such pictures (a
// screenshot piped into xclip) were given up after the stall timeout.
TEST_F(CaptureE2E, a_large_picture_from_an_owner_that_answers_every_type_with_it_is_kept)
{
    QImage noise(1000, 800, QImage::Format_RGB32);
    quint32 seed = 7;
    for (int y = 0; y < noise.height(); ++y) {
        auto *line = reinterpret_cast<quint32 *>(noise.scanLine(y));
        for (int x = 0; x < noise.width(); ++x)
            line[x] = (seed = seed * 1664525u + 1013904223u);
    }
    const QByteArray png = ClipSamples::encoded(noise);
    ASSERT_GT(png.size(), 2 * 1024 * 1024); // well past xclip's one-piece limit
    const QJsonObject clip = copyAndWaitForClip(QStringLiteral("image/png"), png, 1, 6000);
    EXPECT_EQ(clipFields(clip, QStringLiteral("preview")), "📷 Image 1000×800");
}

TEST_F(CaptureE2E, fast_copies_and_small_copies_made_while_a_large_text_is_read_are_all_kept_in_order)
{
    QStringList copied;
    QElapsedTimer pace;
    pace.start();
    for (int i = 0; i < 50; ++i) {
        // Each copy starts 50 ms after the one before (xclip returns once it owns the selection).
        ASSERT_TRUE(waitUntil([&] { return pace.elapsed() >= i * 50; }, 60000));
        copied.append(QStringLiteral("copie rapide n°%1").arg(i));
        ASSERT_TRUE(copyInTurn(copied.last().toUtf8()));
    }
    bool all = waitUntil([&] { return readItems(app.itemsPath()).size() >= 50; }, 10000);
    app.waitForLog(QString(), 0); // reads what the program wrote so far
    ASSERT_TRUE(all) << readItems(app.itemsPath()).size() << " of 50 kept\n" << app.log().toStdString();
    EXPECT_EQ(storedPreviews(app.itemsPath()), copied);

    // 30 MB goes through INCR in many small pieces; the small copies take the
    // clipboard while that transfer is still running.
    QByteArray big(30 * 1024 * 1024, 'x');
    big.replace(0, 5, "GRAND");
    ASSERT_TRUE(copyInTurn(big));
    const QStringList small = {QStringLiteral("petite 1"), QStringLiteral("petite 2"), QStringLiteral("petite 3")};
    pace.restart();
    for (int i = 0; i < small.size(); ++i) {
        // 100 ms apart: well within the large transfer, which takes longer.
        ASSERT_TRUE(waitUntil([&] { return pace.elapsed() >= i * 100; }, 60000));
        ASSERT_TRUE(copyInTurn(small[i].toUtf8()));
    }

    all = waitUntil([&] { return readItems(app.itemsPath()).size() >= 54; }, 60000);
    app.waitForLog(QString(), 0);
    ASSERT_TRUE(all) << readItems(app.itemsPath()).size() << " of 54 kept\n" << app.log().toStdString();
    const QJsonArray items = readItems(app.itemsPath());
    ASSERT_EQ(items.size(), 54);
    const QJsonObject large = items.at(3).toObject();
    EXPECT_TRUE(large.value(QStringLiteral("preview")).toString().startsWith(QStringLiteral("GRANDxxx")));
    EXPECT_EQ(large.value(QStringLiteral("textCharCount")).toInteger(), big.size());
    EXPECT_EQ(storedPreviews(app.itemsPath()).mid(51), small);
}

} // namespace
