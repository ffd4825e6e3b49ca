// The RTF-to-text converter on documents as LibreOffice, WordPad and TextEdit
// write them, on the control words one by one, on broken documents, and on
// random input (it must neither crash, hang nor grow beyond the input).
#include <gtest/gtest.h>

#include <random>

#include <QFile>

#include "capture/rtfplaintext.h"

namespace {

QByteArray fixture(const char *name)
{
    QFile file(qEnvironmentVariable("BRAMBLET_SOURCE_DIR") + QStringLiteral("/tests/data/rtf/") + QLatin1String(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

TEST(RtfDocuments, libreoffice_document_with_accents_bullet_and_euro)
{
    EXPECT_EQ(RtfPlainText::convert(fixture("libreoffice.rtf")),
              QString::fromUtf8("Café crème brûlée\n•\tPrix\t12€\n"));
}

TEST(RtfDocuments, wordpad_document_with_code_pages_quotes_and_hyperlink)
{
    EXPECT_EQ(RtfPlainText::convert(fixture("wordpad.rtf")),
              QString::fromUtf8("Bonjour à tous – “cité”\nПривет\nlien\n"));
}

TEST(RtfDocuments, textedit_document_with_escaped_newlines_and_emoji)
{
    EXPECT_EQ(RtfPlainText::convert(fixture("textedit.rtf")), QString::fromUtf8("Liste\n• un\n• deux 😀\nfin"));
}

struct Row
{
    const char *name;
    const char *rtf;
    const char *text; // UTF-8; nullptr = not convertible
};

class RtfRows : public ::testing::TestWithParam<Row>
{
};

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
    Row{"plain_group", "{\\rtf1 Hello}", "Hello"},
    Row{"par_and_line", "{\\rtf1 a\\par b\\line c}", "a\nb\nc"},
    Row{"tab", "{\\rtf1 a\\tab b}", "a\tb"},
    Row{"symbol_words", "{\\rtf1 \\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote}", "—–•‘’“”"},
    Row{"escaped_braces_and_backslash", "{\\rtf1 \\{x\\}\\\\}", "{x}\\"},
    Row{"nonbreaking_space_and_hyphen", "{\\rtf1 a\\~b\\_c}", "a\u00A0b\u2011c"},
    Row{"optional_hyphen_dropped", "{\\rtf1 co\\-op}", "coop"},
    Row{"unicode_skips_one_fallback_by_default", "{\\rtf1 \\u233?t\\u233 ?}", "été"},
    Row{"uc2_skips_two_fallbacks", "{\\rtf1\\uc2 \\u8364\\'80\\'80x}", "€x"},
    Row{"uc0_skips_nothing", "{\\rtf1\\uc0 \\u8364 x}", "€x"},
    Row{"negative_unicode_value", "{\\rtf1 \\u-4064?}", "\uF020"},
    Row{"uc_is_scoped_to_its_group", "{\\rtf1 {\\uc3 a}\\u233?b}", "aéb"},
    Row{"fallback_skip_stops_at_group_end", "{\\rtf1 {\\u233}x}", "éx"},
    Row{"hex_in_default_cp1252", "{\\rtf1 \\'93q\\'94 \\'80}", "“q” €"},
    Row{"hex_in_declared_cp1251", "{\\rtf1\\ansi\\ansicpg1251 \\'c4\\'e0}", "Да"},
    Row{"hex_in_mac_roman", "{\\rtf1\\mac \\'8e}", "é"},
    Row{"double_byte_code_page", "{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0}", "あ"},
    Row{"font_charset_switches_code_page", "{\\rtf1{\\fonttbl{\\f0 A;}{\\f1\\fcharset161 B;}}\\f1\\'e1\\f0\\'e1}", "αá"},
    Row{"ignorable_destination_dropped", "{\\rtf1 a{\\*\\unknown secret}b}", "ab"},
    Row{"font_color_style_info_tables_dropped",
        "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red1;}{\\stylesheet{\\s1 Heading;}}{\\info{\\title T}}x}", "x"},
    Row{"picture_dropped", "{\\rtf1 a{\\pict\\pngblip 89504e47}b}", "ab"},
    Row{"bin_data_skipped", "{\\rtf1 a{\\*\\blob\\bin3 {}x}b}", "ab"},
    Row{"bin_outside_skip_group", "{\\rtf1 a\\bin2 xyb}", "ab"},
    Row{"field_keeps_result_only", "{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"u\"}{\\fldrslt here}}}", "here"},
    Row{"escaped_newline_is_par", "{\\rtf1 a\\\nb}", "a\nb"},
    Row{"raw_line_breaks_ignored", "{\\rtf1 a\r\nb}", "ab"},
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

// Short documents as word processors write them: tables, code pages, escapes.
INSTANTIATE_TEST_SUITE_P(Documents, RtfRows, ::testing::Values(
        Row{"plain_paragraphs", "{\\rtf1\\ansi Hello\\par World}", "Hello\nWorld"},
        Row{"font_and_colour_tables_dropped",
                "{\\rtf1\\ansi{\\fonttbl\\f0\\fswiss Helvetica;}{\\colortbl;\\red255\\green0\\blue0;}\\f0\\cf1 Rouge}", "Rouge"},
        Row{"hex_escape_windows_1252", "{\\rtf1 caf\\'e9 \\'80}", "café €"},
        Row{"unicode_with_fallback_skipped", "{\\rtf1\\uc1 \\u8364?1}", "€1"},
        Row{"negative_unicode", "{\\rtf1\\u-3913?}", "\xEF\x82\xB7"},
        Row{"escaped_braces_and_backslash", "{\\rtf1 a\\{b\\}c\\\\d}", "a{b}c\\d"},
        Row{"ignorable_destination_dropped", "{\\rtf1 x{\\*\\generator Foo;}y}", "xy"},
        Row{"unknown_ignorable_destination_dropped", "{\\rtf1 x{\\*\\mystery data}y}", "xy"},
        Row{"tab_and_line", "{\\rtf1 a\\tab b\\line c}", "a\tb\nc"},
        Row{"control_word_delimiter_space_eaten", "{\\rtf1\\b bold\\b0  text}", "bold text"},
        Row{"raw_line_breaks_ignored", "{\\rtf1 one\r\ntwo}", "onetwo"},
        Row{"leading_white_space_allowed", "  \n{\\rtf1 ok}", "ok"},
        Row{"not_rtf", "Hello", nullptr},
        Row{"unterminated_group", "{\\rtf1 Hello", nullptr},
        Row{"extra_closing_brace_after_end_ignored", "{\\rtf1 Hi}}", "Hi"},
        Row{"empty", "", nullptr}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(RtfLimits, nesting_beyond_the_limit_is_refused)
{
    QByteArray deep = "{\\rtf1 ";
    deep += QByteArray(RtfPlainText::kMaxDepth + 10, '{');
    deep += "x";
    deep += QByteArray(RtfPlainText::kMaxDepth + 11, '}');
    EXPECT_FALSE(RtfPlainText::convert(deep).has_value());
}

TEST(RtfLimits, huge_numeric_parameters_do_not_overflow)
{
    EXPECT_EQ(RtfPlainText::convert("{\\rtf1\\uc99999999999999 \\u99999999999999999?a}").has_value(), true);
    EXPECT_FALSE(RtfPlainText::convert("{\\rtf1 \\bin99999999999999999999 x}").has_value());
}

TEST(RtfLimits, overlong_control_word_does_not_hang)
{
    QByteArray rtf = "{\\rtf1 \\" + QByteArray(100000, 'a') + " end}";
    const auto out = RtfPlainText::convert(rtf);
    ASSERT_TRUE(out.has_value());
    EXPECT_TRUE(out->endsWith(QLatin1String("end")));
}

// Bounded random-input fuzzing: structured noise built from RTF tokens, and
// mutations of the real fixtures. Output never exceeds the input's length.
TEST(RtfFuzz, random_token_soup_never_crashes_and_stays_bounded)
{
    static const char *const tokens[] = {"{", "}", "\\", "\\*", "\\u", "\\u-", "\\uc", "\\'", "\\bin", "\\par",
                                         "\\fonttbl", "\\f", "\\fcharset", "\\ansicpg", "\\pict", "0", "1", "9",
                                         "65535", "-", " ", "\r\n", "a", "é", "\xff", "\x00", "ff", "\\~", "\\tab"};
    std::mt19937 rng(20240305);
    for (int round = 0; round < 4000; ++round) {
        QByteArray input = "{\\rtf1 ";
        const int n = int(rng() % 200);
        for (int i = 0; i < n; ++i) {
            const char *t = tokens[rng() % std::size(tokens)];
            input.append(t, qsizetype(t[0] == 0 ? 1 : strlen(t)));
        }
        if (rng() % 2)
            input.append('}');
        const auto out = RtfPlainText::convert(input);
        if (out)
            ASSERT_LE(out->size(), input.size()) << input.toHex().toStdString();
    }
}

TEST(RtfFuzz, mutated_real_documents_never_crash)
{
    const QByteArray seeds[] = {fixture("libreoffice.rtf"), fixture("wordpad.rtf"), fixture("textedit.rtf")};
    std::mt19937 rng(7);
    for (int round = 0; round < 3000; ++round) {
        QByteArray input = seeds[round % 3];
        const int edits = 1 + int(rng() % 8);
        for (int e = 0; e < edits && !input.isEmpty(); ++e) {
            const qsizetype at = qsizetype(rng() % quint32(input.size()));
            switch (rng() % 3) {
            case 0: input[at] = char(rng() % 256); break;
            case 1: input.remove(at, 1 + qsizetype(rng() % 16)); break;
            default: input.insert(at, input.mid(qsizetype(rng() % quint32(input.size())), 1 + qsizetype(rng() % 32)));
            }
        }
        const auto out = RtfPlainText::convert(input);
        if (out)
            ASSERT_LE(out->size(), input.size());
    }
}

} // namespace
