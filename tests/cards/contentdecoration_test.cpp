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
                      HexCase{"css_declaration_code_after_property", "color: #ff8800;", "#ff8800"},
                      HexCase{"first_of_two_codes", "#000000 then #ffffff", "#000000"},
                      HexCase{"code_followed_by_letter_is_no_code", "#abcdefg", nullptr},
                      HexCase{"no_hash", "ff8800", nullptr}),
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
                      ParseCase{"non_hex_inside_rejected", "#12zz56", -1, 0, 0, 0},
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

enum class Tint { Plain, Comment, Keyword, String, Number };

QColor colourOf(Tint t)
{
    switch (t) {
    case Tint::Comment: return commentColor();
    case Tint::Keyword: return keywordColor();
    case Tint::String: return stringColor();
    case Tint::Number: return numberColor();
    case Tint::Plain: break;
    }
    return QColor(Qt::white);
}

struct TintCase
{
    const char *name;
    const char *text;
    const char *fragment; // its first occurrence (searched from the end with a leading '$')
    Tint tint;
};

class HighlightCode : public ::testing::TestWithParam<TintCase> {};

TEST_P(HighlightCode, ColoursTheFragment)
{
    const QString text = QString::fromUtf8(GetParam().text);
    QString fragment = QString::fromUtf8(GetParam().fragment);
    const bool last = fragment.startsWith(u'$');
    if (last)
        fragment.remove(0, 1);
    const qsizetype at = last ? text.lastIndexOf(fragment) : text.indexOf(fragment);
    ASSERT_GE(at, 0);
    EXPECT_EQ(highlightCode(text).colorAt(int(at)), colourOf(GetParam().tint));
}

INSTANTIATE_TEST_SUITE_P(
    Rules, HighlightCode,
    ::testing::Values(TintCase{"plain_text_stays_white", "bonjour monde", "monde", Tint::Plain},
                      TintCase{"block_comment_first_line", "x /* one\ntwo */ y", "one", Tint::Comment},
                      TintCase{"block_comment_second_line", "x /* one\ntwo */ y", "two", Tint::Comment},
                      TintCase{"after_block_comment_is_plain", "x /* one\ntwo */ y", "y", Tint::Plain},
                      TintCase{"keyword_inside_string_ends_up_pink", "s = \"return it\"", "return", Tint::Keyword},
                      TintCase{"rest_of_string_is_yellow", "s = \"return it\"", "it", Tint::String},
                      TintCase{"quoted_text_inside_comment_is_yellow", "// say \"hi\" now", "hi", Tint::String},
                      TintCase{"comment_resumes_after_quote", "// say \"hi\" now", "now", Tint::Comment},
                      TintCase{"line_comment_stops_at_line_end", "// note\nvalue", "value", Tint::Plain},
                      TintCase{"keyword_let", "let n = 3.14;", "let", Tint::Keyword},
                      TintCase{"decimal_number_is_teal", "let n = 3.14;", ".14", Tint::Number},
                      TintCase{"escaped_quote_keeps_the_string_open", "s = 'a\\'b' x", "b'", Tint::String},
                      TintCase{"after_the_string_is_plain", "s = 'a\\'b' x", "$x", Tint::Plain}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
