// Plain text out of RTF documents, and refusal of what is not one.
#include <gtest/gtest.h>

#include "capture/rtfplaintext.h"

namespace {

struct RtfCase
{
    const char *name;
    const char *rtf;
    const char *text; // nullptr: fails
};

class RtfExtract : public ::testing::TestWithParam<RtfCase> {};

TEST_P(RtfExtract, GivesPlainText)
{
    const auto out = RtfPlainText::convert(QByteArray(GetParam().rtf));
    if (!GetParam().text) {
        EXPECT_FALSE(out.has_value()) << qPrintable(out.value_or(QString()));
        return;
    }
    ASSERT_TRUE(out.has_value());
    EXPECT_EQ(out->toStdString(), std::string(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Documents, RtfExtract,
    ::testing::Values(
        RtfCase{"plain_paragraphs", "{\\rtf1\\ansi Hello\\par World}", "Hello\nWorld"},
        RtfCase{"font_and_colour_tables_dropped",
                "{\\rtf1\\ansi{\\fonttbl\\f0\\fswiss Helvetica;}{\\colortbl;\\red255\\green0\\blue0;}\\f0\\cf1 Rouge}", "Rouge"},
        RtfCase{"hex_escape_windows_1252", "{\\rtf1 caf\\'e9 \\'80}", "café €"},
        RtfCase{"unicode_with_fallback_skipped", "{\\rtf1\\uc1 \\u8364?1}", "€1"},
        RtfCase{"negative_unicode", "{\\rtf1\\u-3913?}", "\xEF\x82\xB7"},
        RtfCase{"escaped_braces_and_backslash", "{\\rtf1 a\\{b\\}c\\\\d}", "a{b}c\\d"},
        RtfCase{"ignorable_destination_dropped", "{\\rtf1 x{\\*\\generator Foo;}y}", "xy"},
        RtfCase{"unknown_ignorable_destination_dropped", "{\\rtf1 x{\\*\\mystery data}y}", "xy"},
        RtfCase{"tab_and_line", "{\\rtf1 a\\tab b\\line c}", "a\tb\nc"},
        RtfCase{"control_word_delimiter_space_eaten", "{\\rtf1\\b bold\\b0  text}", "bold text"},
        RtfCase{"raw_line_breaks_ignored", "{\\rtf1 one\r\ntwo}", "onetwo"},
        RtfCase{"leading_white_space_allowed", "  \n{\\rtf1 ok}", "ok"},
        RtfCase{"not_rtf", "Hello", nullptr},
        RtfCase{"unterminated_group", "{\\rtf1 Hello", nullptr},
        RtfCase{"extra_closing_brace_after_end_ignored", "{\\rtf1 Hi}}", "Hi"},
        RtfCase{"empty", "", nullptr}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
