// Colour-code detection and parsing, code detection and highlighting rules.
#include <gtest/gtest.h>

#include "cards/contentdecoration.h"

using namespace ContentDecoration;

namespace {

TEST(ContentDecoration, finds_the_first_colour_code_as_written_and_reads_its_components)
{
    const std::pair<const char *, const char *> found[] = {
        {"#1a2B3c", "#1a2B3c"},           {"#11223344", "#11223344"},   {"#abc", nullptr},
        {"#1234567", nullptr},            {"color: #ff8800;", "#ff8800"}, {"#000000 then #ffffff", "#000000"},
        {"#abcdefg", nullptr} /* followed by a letter */, {"ff8800", nullptr}};
    for (const auto &[text, code] : found)
        EXPECT_EQ(detectHexColor(QString::fromUtf8(text)), code ? std::optional(QString::fromUtf8(code)) : std::nullopt)
            << text;

    const std::pair<const char *, std::optional<QColor>> parsed[] = {
        {"#FF8000", QColor(255, 128, 0)},  {"#10203080", QColor(16, 32, 48, 128)}, // alpha last
        {"0000ff", QColor(0, 0, 255)},     {"  #00ff00\n", QColor(0, 255, 0)},
        {"#fff", std::nullopt},            {"#12zz56", std::nullopt}, {"", std::nullopt}};
    for (const auto &[code, colour] : parsed)
        EXPECT_EQ(parseHexColor(QString::fromUtf8(code)), colour) << code;
}

TEST(ContentDecoration, looks_like_code)
{
    const std::pair<const char *, bool> rows[] = {
        {"voici ```x```", true},
        {"See the notes (attached)", true},
        {"Bonjour à tous, la réunion est demain matin", false},
        {"This is for you", true},
        {"Formidable elsewhere", false}, // a keyword inside a word does not count
        {"Return home", false},          // keywords are case-sensitive
        {"a\n\tb\n\tc\n\td\ne", true},   // three of five lines indented
        {"a\n    b\n    c\n    d\ne\nf\ng\nh\nk", false},
        {"    a\n\n\n\n\n\n    b\n\n\n    c\nx\ny\nz", true}, // empty lines do not count
        {"", false}};
    for (const auto &[text, code] : rows)
        EXPECT_EQ(looksLikeCode(QString::fromUtf8(text)), code) << text;
}

TEST(ContentDecoration, highlighting_colours_each_fragment_by_what_it_is_in)
{
    const QColor plain(Qt::white);
    const struct {
        const char *text;
        const char *fragment; // its first occurrence, or its last with a leading '$'
        QColor colour;
    } rows[] = {{"bonjour monde", "monde", plain},
                {"x /* one\ntwo */ y", "two", commentColor()},
                {"x /* one\ntwo */ y", "y", plain},
                {"s = \"return it\"", "return", keywordColor()}, // a keyword inside a string stays pink
                {"s = \"return it\"", "it", stringColor()},
                {"// say \"hi\" now", "hi", stringColor()},
                {"// say \"hi\" now", "now", commentColor()},
                {"// note\nvalue", "value", plain},
                {"let n = 3.14;", ".14", numberColor()},
                {"s = 'a\\'b' x", "b'", stringColor()}, // an escaped quote keeps the string open
                {"s = 'a\\'b' x", "$x", plain}};
    for (const auto &row : rows) {
        const QString text = QString::fromUtf8(row.text);
        QString fragment = QString::fromUtf8(row.fragment);
        const bool last = fragment.startsWith(u'$');
        if (last)
            fragment.remove(0, 1);
        const qsizetype at = last ? text.lastIndexOf(fragment) : text.indexOf(fragment);
        EXPECT_EQ(highlightCode(text).colorAt(int(at)), row.colour) << row.text << " at " << row.fragment;
    }
}

} // namespace
