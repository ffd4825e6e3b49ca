// Colour-code detection and parsing, and code detection.
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

} // namespace
