// French relative dates, byte sizes, kind labels and character counts.
#include <gtest/gtest.h>

#include <QDateTime>

#include "cards/cardformat.h"
#include "model/clipboarditem.h"

using namespace CardFormat;

namespace {

struct DateCase
{
    const char *name;
    double offset; // date − now, seconds
    const char *text;
};

class RelativeDate : public ::testing::TestWithParam<DateCase> {};

TEST_P(RelativeDate, Formats)
{
    // Mid-month, mid-day so calendar units are not disturbed by month ends.
    const double now = QDateTime(QDate(2024, 3, 15), QTime(12, 0)).toSecsSinceEpoch();
    EXPECT_EQ(relativeDateText(now + GetParam().offset, now).toStdString(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    French, RelativeDate,
    ::testing::Values(DateCase{"now", 0, "il y a 0 s"},
                      DateCase{"five_minutes_ago", -5 * 60 - 20, "il y a 5 min"},
                      DateCase{"two_hours_ago", -2 * 3600 - 59 * 60, "il y a 2 h"},
                      DateCase{"one_day_ago", -26 * 3600, "il y a 1 j"},
                      DateCase{"in_three_days", 3 * 86400 + 100, "dans 3 j"},
                      DateCase{"nine_days_ago_is_one_week", -9 * 86400, "il y a 1 sem."},
                      DateCase{"forty_days_ago_is_one_month", -40 * 86400, "il y a 1 m."},
                      DateCase{"four_hundred_days_ago_is_one_year", -400 * 86400, "il y a 1 a"}),
    [](const auto &info) { return std::string(info.param.name); });

// Regression: a date a damaged history file holds (any JSON number) was cast
// to a 64-bit millisecond count; beyond its range that cast is undefined.
TEST(RelativeDateLimits, dates_beyond_any_calendar_show_in_years)
{
    const double now = QDateTime(QDate(2024, 3, 15), QTime(12, 0)).toSecsSinceEpoch();
    for (const double date : {-1.7e308, -1e300, -1e19, 1e19, 1e300, 1.7e308}) {
        const QString text = relativeDateText(date, now);
        EXPECT_TRUE(text.startsWith(date < now ? QStringLiteral("il y a ") : QStringLiteral("dans ")))
            << date << " " << text.toStdString();
        EXPECT_TRUE(text.endsWith(QStringLiteral(" a"))) << date << " " << text.toStdString();
    }
}

struct SizeCase
{
    const char *name;
    qint64 bytes;
    const char *text;
};

class ByteCount : public ::testing::TestWithParam<SizeCase> {};

TEST_P(ByteCount, Formats) { EXPECT_EQ(byteCountText(GetParam().bytes).toStdString(), GetParam().text); }

INSTANTIATE_TEST_SUITE_P(
    French, ByteCount,
    ::testing::Values(SizeCase{"zero", 0, "Zéro Ko"}, SizeCase{"one_byte", 1, "1 octet"},
                      SizeCase{"twelve_bytes", 12, "12 octets"},
                      SizeCase{"one_kilo", 1000, "1 Ko"},
                      SizeCase{"kilo_rounded", 2600, "3 Ko"},
                      SizeCase{"one_point_two_mega", 1'200'000, "1,2 Mo"},
                      SizeCase{"whole_mega_without_decimal", 5'000'000, "5 Mo"},
                      SizeCase{"rounding_carries_to_next_unit", 999'999, "1 Mo"},
                      SizeCase{"giga_two_decimals", 1'234'567'890, "1,23 Go"}),
    [](const auto &info) { return std::string(info.param.name); });

struct CountCase
{
    const char *name;
    ClipKind kind;
    QByteArray raw;
    std::optional<qint64> stored;
    const char *footer; // shows the count, or the size when there is none
};

class CharacterCount : public ::testing::TestWithParam<CountCase> {};

TEST_P(CharacterCount, FooterShowsCountOrSize)
{
    ClipboardItem item;
    item.kind = GetParam().kind;
    item.raw = GetParam().raw;
    item.textCharCount = GetParam().stored;
    EXPECT_EQ(footerText(item).toStdString(), GetParam().footer);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, CharacterCount,
    ::testing::Values(
        CountCase{"stored_count_wins_even_when_zero", ClipKind::Image, QByteArray(5000, 'x'), 0, "0 caractères"},
        // "é" decomposed (e + combining acute) and a flag: 3 user-visible characters.
        CountCase{"text_counts_graphemes_not_code_units", ClipKind::Text,
                  QStringLiteral("e\u0301a").toUtf8() + "\xF0\x9F\x87\xAB\xF0\x9F\x87\xB7", {}, "3 caractères"},
        CountCase{"invalid_utf8_text_shows_the_byte_size", ClipKind::Text, QByteArray("ab\xff\xfe", 4), {}, "4 octets"},
        CountCase{"url_counts_its_text", ClipKind::Url, "https://a.fr", {}, "12 caractères"},
        CountCase{"rtf_counts_its_plain_text", ClipKind::Rtf,
                  "{\\rtf1\\ansi{\\fonttbl\\f0 Helvetica;}\\f0 Caf\\'e9\\par}", {}, "5 caractères"},
        CountCase{"malformed_rtf_shows_the_byte_size", ClipKind::Rtf, "{\\rtf1 unterminated", {}, "19 octets"},
        CountCase{"image_shows_the_byte_size", ClipKind::Image, "xx", {}, "2 octets"},
        CountCase{"file_shows_the_byte_size", ClipKind::FileURL, "file:///a", {}, "9 octets"}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
