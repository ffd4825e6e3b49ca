// What the program sees of a data-control offer, and what our writes offer.
#include <gtest/gtest.h>

#include <QImage>

#include "platform/clipboard.h"
#include "platform/wayland/waylandmimemapping.h"

namespace {

struct PresentRow
{
    const char *name;
    QStringList wire;
    QStringList formats;
    QList<QPair<QString, QString>> reads; // presented -> wire type asked for
};

class PresentTest : public ::testing::TestWithParam<PresentRow> {};

TEST_P(PresentTest, MapsTheOfferedTypes)
{
    const PresentRow &row = GetParam();
    const WaylandMimeMapping::Presented view = WaylandMimeMapping::present(row.wire);
    EXPECT_EQ(view.formats, row.formats);
    for (const auto &read : row.reads)
        EXPECT_EQ(view.wireType.value(read.first), read.second) << read.first.toStdString();
    EXPECT_EQ(view.wireType.size(), view.formats.size());
}

const QString kUtf8 = QStringLiteral("text/plain;charset=utf-8");
const QString kPlain = QStringLiteral("text/plain");

INSTANTIATE_TEST_SUITE_P(
    WaylandMimeMapping, PresentTest,
    ::testing::Values(
        PresentRow{"wl_copy_text_keeps_mime_types_and_drops_x11_targets",
                   {kPlain, kUtf8, "TEXT", "STRING", "UTF8_STRING"},
                   {kPlain, kUtf8},
                   {{kPlain, kPlain}, {kUtf8, kUtf8}}},
        PresentRow{"x11_targets_alone_read_as_text_plain_through_utf8_string",
                   {"TARGETS", "STRING", "UTF8_STRING"},
                   {"TARGETS", kPlain},
                   {{kPlain, "UTF8_STRING"}}},
        PresentRow{"charset_in_upper_case_is_presented_lower_case_and_read_as_offered",
                   {"text/plain;charset=UTF-8"},
                   {kUtf8, kPlain},
                   {{kUtf8, "text/plain;charset=UTF-8"}, {kPlain, "text/plain;charset=UTF-8"}}},
        PresentRow{"duplicates_are_dropped",
                   {"image/png", "image/png", kUtf8},
                   {"image/png", kUtf8, kPlain},
                   {{kPlain, kUtf8}}}),
    [](const ::testing::TestParamInfo<PresentRow> &info) { return std::string(info.param.name); });

QStringList typesOf(const QList<QPair<QString, QByteArray>> &entries)
{
    QStringList types;
    for (const auto &entry : entries)
        types.append(entry.first);
    return types;
}

// Text goes out under every text name, a picture as PNG, other entries in
// their order with their bytes; each offer is marked as ours, and empty
// content offers nothing, so the clipboard is cleared.
TEST(WaylandMimeMappingWrite, OffersTextUnderEveryNameImagesAsPngOtherEntriesAsTheyAre)
{
    const QString own = QString::fromLatin1(Clipboard::kOwnWriteMimeType);
    auto text = WaylandMimeMapping::offeredEntries({{{kPlain, QByteArray("alpha")}}, {}});
    EXPECT_EQ(typesOf(text), (QStringList{kPlain, kUtf8, "UTF8_STRING", own}));
    for (const auto &entry : text.first(3))
        EXPECT_EQ(entry.second, QByteArray("alpha")) << entry.first.toStdString();

    ClipboardContent picture;
    picture.image = QImage(7, 5, QImage::Format_ARGB32);
    picture.image.fill(QColor(10, 200, 30));
    const auto image = WaylandMimeMapping::offeredEntries(picture);
    ASSERT_EQ(typesOf(image), (QStringList{"image/png", own}));
    EXPECT_EQ(QImage::fromData(image.first().second, "png").pixelColor(3, 2), QColor(10, 200, 30));

    const auto other = WaylandMimeMapping::offeredEntries(
        {{{"text/uri-list", QByteArray("file:///tmp/a\r\n")}, {"application/x-custom", QByteArray("\xff", 1)}}, {}});
    EXPECT_EQ(typesOf(other), (QStringList{"text/uri-list", "application/x-custom", own}));
    EXPECT_EQ(other.at(1).second, QByteArray("\xff", 1));
    EXPECT_TRUE(WaylandMimeMapping::offeredEntries(ClipboardContent{}).isEmpty());
}

} // namespace
