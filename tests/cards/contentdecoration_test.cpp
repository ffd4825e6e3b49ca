// Colour-code detection and parsing, code detection and highlighting rules.
#include <gtest/gtest.h>

#include "cards/contentdecoration.h"

using namespace ContentDecoration;

namespace {

struct HexCase
{
    const char *name;
    const char *text;
    const char *found; // nullptr: none
};

class DetectHexColor : public ::testing::TestWithParam<HexCase> {};

TEST_P(DetectHexColor, FindsTheFirstCodeAsWritten)
{
    const auto result = detectHexColor(QString::fromUtf8(GetParam().text));
    if (!GetParam().found)
        EXPECT_FALSE(result.has_value()) << qPrintable(result.value_or(QString()));
    else
        EXPECT_EQ(result.value_or(QStringLiteral("<none>")), QString::fromUtf8(GetParam().found));
}

INSTANTIATE_TEST_SUITE_P(
    Rules, DetectHexColor,
    ::testing::Values(HexCase{"six_digits_alone", "#1a2B3c", "#1a2B3c"},
                      HexCase{"eight_digits", "#11223344", "#11223344"},
                      HexCase{"three_digits_is_no_code", "#abc", nullptr},
                      HexCase{"seven_digits_is_no_code", "#1234567", nullptr},
                      HexCase{"nine_digits_is_no_code", "#123456789", nullptr},
                      HexCase{"css_declaration_code_after_property", "color: #ff8800;", "#ff8800"},
                      HexCase{"first_of_two_codes", "#000000 then #ffffff", "#000000"},
                      HexCase{"code_followed_by_letter_is_no_code", "#abcdefg", nullptr},
                      HexCase{"no_hash", "ff8800", nullptr},
                      HexCase{"uppercase_digits", "#ABCDEF", "#ABCDEF"}),
    [](const auto &info) { return std::string(info.param.name); });

struct ParseCase
{
    const char *name;
    const char *code;
    int r, g, b, a; // r < 0: none
};

class ParseHexColor : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseHexColor, ReadsComponents)
{
    const auto &c = GetParam();
    const auto color = parseHexColor(QString::fromUtf8(c.code));
    if (c.r < 0) {
        EXPECT_FALSE(color.has_value());
        return;
    }
    ASSERT_TRUE(color.has_value());
    EXPECT_EQ(color->red(), c.r);
    EXPECT_EQ(color->green(), c.g);
    EXPECT_EQ(color->blue(), c.b);
    EXPECT_EQ(color->alpha(), c.a);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ParseHexColor,
    ::testing::Values(ParseCase{"six_digits_opaque", "#FF8000", 255, 128, 0, 255},
                      ParseCase{"eight_digits_alpha_last", "#10203080", 16, 32, 48, 128},
                      ParseCase{"without_hash", "0000ff", 0, 0, 255, 255},
                      ParseCase{"surrounding_white_space", "  #00ff00\n", 0, 255, 0, 255},
                      ParseCase{"three_digits_rejected", "#fff", -1, 0, 0, 0},
                      ParseCase{"seven_digits_rejected", "#1234567", -1, 0, 0, 0},
                      ParseCase{"non_hex_inside_rejected", "#12zz56", -1, 0, 0, 0},
                      ParseCase{"hex_prefix_rejected", "0x1234", -1, 0, 0, 0},
                      ParseCase{"empty_rejected", "", -1, 0, 0, 0}),
    [](const auto &info) { return std::string(info.param.name); });

struct CodeCase
{
    const char *name;
    const char *text;
    bool code;
};

class LooksLikeCode : public ::testing::TestWithParam<CodeCase> {};

TEST_P(LooksLikeCode, Decides)
{
    EXPECT_EQ(looksLikeCode(QString::fromUtf8(GetParam().text)), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, LooksLikeCode,
    ::testing::Values(
        CodeCase{"code_fence", "voici ```x```", true},
        CodeCase{"english_sentence_with_parenthesis", "See the notes (attached)", true},
        CodeCase{"semicolon", "a; b", true},
        CodeCase{"french_sentence_is_prose", "Bonjour à tous, la réunion est demain matin", false},
        CodeCase{"english_sentence_with_word_for", "This is for you", true},
        CodeCase{"keyword_inside_a_word_does_not_count", "Formidable elsewhere", false},
        CodeCase{"keyword_is_case_sensitive", "Return home", false},
        CodeCase{"five_lines_three_tab_indented", "a\n\tb\n\tc\n\td\ne", true},
        CodeCase{"nine_lines_three_indented_is_not_code", "a\n    b\n    c\n    d\ne\nf\ng\nh\nk", false},
        CodeCase{"two_indented_lines_are_not_enough", "    a\n    b", false},
        CodeCase{"empty_lines_do_not_count", "    a\n\n\n\n\n\n    b\n\n\n    c\nx\ny\nz", true},
        CodeCase{"empty_text", "", false}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(HighlightCode, PlainTextStaysWhiteInOneRange)
{
    const StyledText s = highlightCode(QStringLiteral("bonjour monde"));
    ASSERT_EQ(s.formats.size(), 1);
    EXPECT_EQ(s.formats[0].start, 0);
    EXPECT_EQ(s.formats[0].length, 13);
    EXPECT_EQ(s.colorAt(0), QColor(Qt::white));
    EXPECT_TRUE(s.font.fixedPitch() || s.font.styleHint() == QFont::Monospace);
}

TEST(HighlightCode, BlockCommentOverTwoLinesIsGreyOnBoth)
{
    const QString text = QStringLiteral("x /* one\ntwo */ y");
    const StyledText s = highlightCode(text);
    EXPECT_EQ(s.colorAt(text.indexOf(u'o')), commentColor());
    EXPECT_EQ(s.colorAt(text.indexOf(QStringLiteral("two"))), commentColor());
    EXPECT_EQ(s.colorAt(text.indexOf(u'y')), QColor(Qt::white));
}

TEST(HighlightCode, KeywordInsideStringEndsUpPink)
{
    const QString text = QStringLiteral("s = \"return it\"");
    const StyledText s = highlightCode(text);
    EXPECT_EQ(s.colorAt(text.indexOf(QStringLiteral("return"))), keywordColor());
    EXPECT_EQ(s.colorAt(text.indexOf(QStringLiteral("it"))), stringColor());
}

TEST(HighlightCode, QuotedTextInsideCommentIsYellow)
{
    const QString text = QStringLiteral("// say \"hi\" now");
    const StyledText s = highlightCode(text);
    EXPECT_EQ(s.colorAt(text.indexOf(QStringLiteral("say"))), commentColor());
    EXPECT_EQ(s.colorAt(text.indexOf(QStringLiteral("hi"))), stringColor());
    EXPECT_EQ(s.colorAt(text.indexOf(QStringLiteral("now"))), commentColor());
}

TEST(HighlightCode, LineCommentStopsAtLineEnd)
{
    const QString text = QStringLiteral("// note\nvalue");
    const StyledText s = highlightCode(text);
    EXPECT_EQ(s.colorAt(2), commentColor());
    EXPECT_EQ(s.colorAt(text.indexOf(QStringLiteral("value"))), QColor(Qt::white));
}

TEST(HighlightCode, NumbersTealKeywordsPinkStringsWithEscapes)
{
    const QString text = QStringLiteral("let n = 3.14; let s = 'a\\'b' x");
    const StyledText s = highlightCode(text);
    EXPECT_EQ(s.colorAt(0), keywordColor());
    EXPECT_EQ(s.colorAt(text.indexOf(QStringLiteral("3.14"))), numberColor());
    EXPECT_EQ(s.colorAt(text.indexOf(QStringLiteral(".14"))), numberColor());
    EXPECT_EQ(s.colorAt(text.indexOf(QStringLiteral("b'"))), stringColor()); // escaped quote keeps the string open
    EXPECT_EQ(s.colorAt(text.lastIndexOf(u'x')), QColor(Qt::white));
}

TEST(HighlightCode, RangesCoverTheTextWithoutOverlap)
{
    const QString text = QStringLiteral("func f() { return \"// not\" /* c */ + 42 }");
    const StyledText s = highlightCode(text);
    int next = 0;
    for (const auto &r : s.formats) {
        EXPECT_EQ(r.start, next);
        EXPECT_GT(r.length, 0);
        next = r.start + r.length;
    }
    EXPECT_EQ(next, text.size());
}

} // namespace
