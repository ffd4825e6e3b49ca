// French relative dates, byte sizes, kind labels and character counts.
#include <gtest/gtest.h>

#include <QDateTime>

#include "cards/cardformat.h"
#include "model/clipboarditem.h"

using namespace CardFormat;

namespace {

TEST(CardFormat, relative_dates_in_french)
{
    // Mid-month, mid-day so calendar units are not disturbed by month ends.
    const double now = QDateTime(QDate(2024, 3, 15), QTime(12, 0)).toSecsSinceEpoch();
    const std::pair<double, const char *> rows[] = { // date − now in seconds
        {0, "il y a 0 s"},           {-5 * 60 - 20, "il y a 5 min"},  {-2 * 3600 - 59 * 60, "il y a 2 h"},
        {-26 * 3600, "il y a 1 j"},  {3 * 86400 + 100, "dans 3 j"},   {-9 * 86400, "il y a 1 sem."},
        {-40 * 86400, "il y a 1 m."}, {-400 * 86400, "il y a 1 a"}};
    for (const auto &[offset, text] : rows)
        EXPECT_EQ(relativeDateText(now + offset, now).toStdString(), text);

    // Regression: a date a damaged history file holds (any JSON number) was cast
    // to a 64-bit millisecond count; beyond its range that cast is undefined.
    for (const double date : {-1.7e308, -1e19, 1e19, 1.7e308}) {
        const QString text = relativeDateText(date, now);
        EXPECT_TRUE(text.startsWith(date < now ? QStringLiteral("il y a ") : QStringLiteral("dans ")))
            << date << " " << text.toStdString();
        EXPECT_TRUE(text.endsWith(QStringLiteral(" a"))) << date << " " << text.toStdString();
    }
}

TEST(CardFormat, byte_counts_in_french_decimal_units)
{
    const std::pair<qint64, const char *> rows[] = {
        {0, "Zéro Ko"}, {1, "1 octet"}, {12, "12 octets"}, {1000, "1 Ko"}, {2600, "3 Ko"}, {1'200'000, "1,2 Mo"},
        {5'000'000, "5 Mo"}, {999'999, "1 Mo"} /* rounding carries to the next unit */, {1'234'567'890, "1,23 Go"}};
    for (const auto &[bytes, text] : rows)
        EXPECT_EQ(byteCountText(bytes).toStdString(), text);
}

// The footer shows the character count, or the size when there is none.
TEST(CardFormat, footer_counts_visible_characters_else_shows_the_size)
{
    const struct {
        ClipKind kind;
        QByteArray raw;
        std::optional<qint64> stored;
        const char *footer;
    } rows[] = {
        {ClipKind::Image, QByteArray(5000, 'x'), 0, "0 caractères"}, // a stored count wins, even zero
        // "é" decomposed (e + combining acute) and a flag: 3 user-visible characters.
        {ClipKind::Text, QStringLiteral("e\u0301a").toUtf8() + "\xF0\x9F\x87\xAB\xF0\x9F\x87\xB7", {}, "3 caractères"},
        {ClipKind::Text, QByteArray("ab\xff\xfe", 4), {}, "4 octets"}, // invalid UTF-8
        {ClipKind::Url, "https://a.fr", {}, "12 caractères"},
        {ClipKind::Rtf, "{\\rtf1\\ansi{\\fonttbl\\f0 Helvetica;}\\f0 Caf\\'e9\\par}", {}, "5 caractères"},
        {ClipKind::Rtf, "{\\rtf1 unterminated", {}, "19 octets"},
        {ClipKind::FileURL, "file:///a", {}, "9 octets"}};
    for (const auto &row : rows) {
        ClipboardItem item;
        item.kind = row.kind;
        item.raw = row.raw;
        item.textCharCount = row.stored;
        EXPECT_EQ(footerText(item).toStdString(), row.footer);
    }
}

} // namespace
