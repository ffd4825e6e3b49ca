// The RTF-to-text converter on documents as LibreOffice, WordPad and TextEdit
// write them, on the control words one by one, and on broken or hostile
// documents (random input is the fuzz target's).
#include <gtest/gtest.h>

#include <QFile>

#include "capture/rtfplaintext.h"

namespace {

QByteArray fixture(const char *name)
{
    QFile file(qEnvironmentVariable("BRAMBLET_SOURCE_DIR") + QStringLiteral("/tests/data/rtf/") + QLatin1String(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

// Documents as LibreOffice, WordPad and TextEdit write them; between them
// they hold the common control words (tables, fields, code pages, \u with
// and without fallbacks), which the rows below therefore leave out.
TEST(RtfDocuments, real_documents_convert_with_accents_code_pages_quotes_links_and_emoji)
{
    EXPECT_EQ(RtfPlainText::convert(fixture("libreoffice.rtf")), QString::fromUtf8("Café crème brûlée\n•\tPrix\t12€\n"));
    EXPECT_EQ(RtfPlainText::convert(fixture("wordpad.rtf")), QString::fromUtf8("Bonjour à tous – “cité”\nПривет\nlien\n"));
    EXPECT_EQ(RtfPlainText::convert(fixture("textedit.rtf")), QString::fromUtf8("Liste\n• un\n• deux 😀\nfin"));
}

struct Row
{
    const char *name;
    const char *rtf;
    const char *text; // UTF-8; nullptr = not convertible
};

class RtfRows : public ::testing::TestWithParam<Row> {};

TEST_P(RtfRows, converts)
{
    const Row row = GetParam();
    const std::optional<QString> out = RtfPlainText::convert(QByteArray(row.rtf));
    if (!row.text) {
        EXPECT_FALSE(out.has_value()) << out.value_or(QString()).toStdString();
    } else {
        ASSERT_TRUE(out.has_value());
        EXPECT_EQ(*out, QString::fromUtf8(row.text));
    }
}

INSTANTIATE_TEST_SUITE_P(Words, RtfRows, ::testing::Values(
    Row{"par_and_line", "{\\rtf1 a\\par b\\line c}", "a\nb\nc"},
    Row{"symbol_words", "{\\rtf1 \\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote}", "—–•‘’“”"},
    Row{"escaped_braces_and_backslash", "{\\rtf1 \\{x\\}\\\\}", "{x}\\"},
    Row{"nonbreaking_space_and_hyphen", "{\\rtf1 a\\~b\\_c}", "a\u00A0b\u2011c"},
    Row{"optional_hyphen_dropped", "{\\rtf1 co\\-op}", "coop"},
    Row{"uc2_skips_two_fallbacks", "{\\rtf1\\uc2 \\u8364\\'80\\'80x}", "€x"},
    Row{"negative_unicode_value", "{\\rtf1 \\u-4064?}", "\uF020"},
    Row{"uc_is_scoped_to_its_group", "{\\rtf1 {\\uc3 a}\\u233?b}", "aéb"},
    Row{"fallback_skip_stops_at_group_end", "{\\rtf1 {\\u233}x}", "éx"},
    Row{"hex_in_default_cp1252", "{\\rtf1 \\'93q\\'94 \\'80}", "“q” €"},
    Row{"hex_in_declared_cp1251", "{\\rtf1\\ansi\\ansicpg1251 \\'c4\\'e0}", "Да"},
    Row{"hex_in_mac_roman", "{\\rtf1\\mac \\'8e}", "é"},
    Row{"double_byte_code_page", "{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0}", "あ"},
    Row{"picture_dropped", "{\\rtf1 a{\\pict\\pngblip 89504e47}b}", "ab"},
    Row{"bin_data_skipped", "{\\rtf1 a{\\*\\blob\\bin3 {}x}b}", "ab"},
    Row{"bin_outside_skip_group", "{\\rtf1 a\\bin2 xyb}", "ab"},
    Row{"control_word_space_delimiter_consumed", "{\\rtf1\\b bold\\b0  x}", "bold x"},
    Row{"leading_whitespace_accepted", "  \r\n{\\rtf1 ok}", "ok"},
    Row{"text_after_final_brace_ignored", "{\\rtf1 ok}garbage", "ok"},
    Row{"empty_document", "{\\rtf1}", ""},
    Row{"not_rtf", "just text", nullptr},
    Row{"empty_input", "", nullptr},
    Row{"truncated_document", "{\\rtf1 unfinished", nullptr},
    Row{"unbalanced_close", "{\\rtf1 a}}", "a"},
    Row{"bin_past_the_end", "{\\rtf1 \\bin999 x}", nullptr},
    Row{"bad_hex_escape", "{\\rtf1 \\'zz}", nullptr},
    Row{"hex_cut_at_end", "{\\rtf1 \\'4", nullptr},
    Row{"backslash_at_end", "{\\rtf1 \\", nullptr}),
    [](const auto &info) { return std::string(info.param.name); });

// Deep nesting is refused; huge numbers neither overflow nor allocate; an
// overlong control word does not hang.
TEST(RtfLimits, hostile_documents_are_refused_or_read_without_overflow_or_hang)
{
    const QByteArray deep = "{\\rtf1 " + QByteArray(RtfPlainText::kMaxDepth + 10, '{') + "x"
        + QByteArray(RtfPlainText::kMaxDepth + 11, '}');
    EXPECT_FALSE(RtfPlainText::convert(deep).has_value());
    EXPECT_TRUE(RtfPlainText::convert("{\\rtf1\\uc99999999999999 \\u99999999999999999?a}").has_value());
    EXPECT_FALSE(RtfPlainText::convert("{\\rtf1 \\bin99999999999999999999 x}").has_value());
    const auto out = RtfPlainText::convert("{\\rtf1 \\" + QByteArray(100000, 'a') + " end}");
    ASSERT_TRUE(out.has_value());
    EXPECT_TRUE(out->endsWith(QLatin1String("end")));
}

} // namespace
