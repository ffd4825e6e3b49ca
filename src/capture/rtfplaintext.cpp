#include "rtfplaintext.h"

#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <vector>

#include <QHash>
#include <QSet>
#include <QStringDecoder>

#include "model/hexdigit.h"

namespace {

// Windows-1252 bytes 0x80..0x9F; the rest of the page is Latin-1. Built in so
// the default needs no codec lookup. 0 marks an unassigned byte.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178,
};

// \fcharsetN -> Windows code page.
int codePageForCharset(int charset)
{
    switch (charset) {
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    default: return 0; // ANSI, default, symbol...: the document's page
    }
}

QByteArray codecName(int codePage)
{
    switch (codePage) {
    case 437: return "IBM437";
    case 850: return "IBM850";
    case 932: return "Shift_JIS";
    case 936: return "GBK";
    case 949: return "windows-949";
    case 950: return "Big5";
    case 10000: return "macintosh";
    default: return "windows-" + QByteArray::number(codePage);
    }
}

// Destinations whose text is not part of the document's visible text.
const QSet<QByteArray> &ignoredDestinations()
{
    static const QSet<QByteArray> words = {
        "fonttbl", "colortbl", "stylesheet", "info", "pict", "object", "header", "headerl", "headerr", "headerf",
        "footer", "footerl", "footerr", "footerf", "footnote", "fldinst", "themedata", "colorschememapping",
        "datastore", "latentstyles", "listtable", "listoverridetable", "rsidtbl", "generator", "xmlnstbl",
        "mmathpr", "pgdsctbl", "revtbl", "filetbl", "private", "author", "operator", "title", "subject",
        "keywords", "doccomm", "comment", "company", "nonshppict", "pntxta", "pntxtb", "xe", "tc", "txe",
        "bkmkstart", "bkmkend", "expandedcolortbl", "upr", "userprops", "objdata", "result", "template",
        "falt", "panose", "atnid", "atnauthor", "annotation", "blipuid", "listpicture", "wgrffmtfilter",
    };
    return words;
}

// Control words that stand for one character.
const QHash<QByteArray, QString> &symbolWords()
{
    static const QHash<QByteArray, QString> words = {
        {"par", QStringLiteral("\n")},       {"line", QStringLiteral("\n")},
        {"sect", QStringLiteral("\n")},      {"page", QStringLiteral("\n")},
        {"row", QStringLiteral("\n")},       {"cell", QStringLiteral("\t")},
        {"nestcell", QStringLiteral("\t")},  {"tab", QStringLiteral("\t")},
        {"emdash", QString(QChar(0x2014))},  {"endash", QString(QChar(0x2013))},
        {"emspace", QString(QChar(0x2003))}, {"enspace", QString(QChar(0x2002))},
        {"qmspace", QString(QChar(0x2005))}, {"bullet", QString(QChar(0x2022))},
        {"lquote", QString(QChar(0x2018))},  {"rquote", QString(QChar(0x2019))},
        {"ldblquote", QString(QChar(0x201C))}, {"rdblquote", QString(QChar(0x201D))},
        {"zwj", QString(QChar(0x200D))},     {"zwnj", QString(QChar(0x200C))},
        {"ltrmark", QString(QChar(0x200E))}, {"rtlmark", QString(QChar(0x200F))},
        {"zwbo", QString(QChar(0x200B))},    {"zwnbo", QString(QChar(0xFEFF))},
    };
    return words;
}

class Parser final
{
public:
    explicit Parser(const QByteArray &in) : m_in(in) {}

    std::optional<QString> run()
    {
        qsizetype i = 0;
        const qsizetype n = m_in.size();
        // Leading white space and a UTF-8 byte-order mark are tolerated.
        if (m_in.startsWith("\xEF\xBB\xBF"))
            i = 3;
        while (i < n && isSpace(m_in.at(i)))
            ++i;
        if (!QByteArrayView(m_in).sliced(i).startsWith("{\\rtf"))
            return std::nullopt;
        m_out.reserve(qMin<qsizetype>(n, 1 << 20));
        m_pos = i;
        if (!parse())
            return std::nullopt;
        flushBytes();
        return m_out;
    }

private:
    struct Group
    {
        bool skip = false;
        int uc = 1;
        int codePage = 0; // 0: the document's
        bool inFontTable = false;
    };

    static bool isSpace(char c) { return c == ' ' || c == '\r' || c == '\n' || c == '\t'; }
    static bool isAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
    static bool isDigit(char c) { return c >= '0' && c <= '9'; }

    Group &top() { return m_stack.back(); }

    bool parse()
    {
        const qsizetype n = m_in.size();
        while (m_pos < n) {
            const char c = m_in.at(m_pos);
            if (c == '{') {
                ++m_pos;
                m_pendingSkip = 0;
                flushBytes();
                if (int(m_stack.size()) >= RtfPlainText::kMaxDepth)
                    return false;
                m_stack.push_back(m_stack.empty() ? Group{} : top());
                m_sawGroupStart = true;
                continue;
            }
            if (c == '}') {
                ++m_pos;
                m_pendingSkip = 0;
                flushBytes();
                if (m_stack.empty())
                    return false;
                m_stack.pop_back();
                if (m_stack.empty()) {
                    m_closed = true;
                    // Anything after the document's closing brace is ignored.
                    return true;
                }
                continue;
            }
            if (m_stack.empty())
                return false;
            if (c == '\\') {
                if (!controlSequence())
                    return false;
                continue;
            }
            ++m_pos;
            if (c == '\r' || c == '\n' || c == 0)
                continue;
            m_sawGroupStart = false;
            if (m_pendingSkip > 0) {
                --m_pendingSkip;
                continue;
            }
            if (top().skip)
                continue;
            if (uchar(c) < 0x80) {
                flushBytes();
                m_out.append(QLatin1Char(c));
            } else {
                m_bytes.append(c);
            }
        }
        return m_closed; // a document cut short is malformed
    }

    // At a backslash. Returns false on a fatal error.
    bool controlSequence()
    {
        const qsizetype n = m_in.size();
        ++m_pos;
        if (m_pos >= n)
            return false;
        const char c = m_in.at(m_pos);
        if (!isAlpha(c))
            return controlSymbol(c);

        const qsizetype start = m_pos;
        while (m_pos < n && isAlpha(m_in.at(m_pos)) && m_pos - start < 32)
            ++m_pos;
        const QByteArray word = m_in.mid(start, m_pos - start);
        bool hasParam = false;
        qint64 param = 0;
        bool negative = false;
        if (m_pos < n && m_in.at(m_pos) == '-' && m_pos + 1 < n && isDigit(m_in.at(m_pos + 1))) {
            negative = true;
            ++m_pos;
        }
        int digits = 0;
        while (m_pos < n && isDigit(m_in.at(m_pos))) {
            if (digits < 10)
                param = param * 10 + (m_in.at(m_pos) - '0');
            ++digits;
            ++m_pos;
            hasParam = true;
        }
        if (negative)
            param = -param;
        if (m_pos < n && m_in.at(m_pos) == ' ')
            ++m_pos;

        const bool firstInGroup = m_sawGroupStart;
        m_sawGroupStart = false;
        if (word == "bin")
            return skipBinary(hasParam ? param : 0);
        if (m_pendingSkip > 0) {
            --m_pendingSkip;
            return true;
        }
        controlWord(word, hasParam, param, firstInGroup);
        return true;
    }

    bool controlSymbol(char c)
    {
        ++m_pos;
        const bool firstInGroup = m_sawGroupStart;
        m_sawGroupStart = false;
        if (c == '\'') {
            if (m_pos + 2 > m_in.size())
                return false;
            const int hi = hexDigitValue(m_in.at(m_pos));
            const int lo = hexDigitValue(m_in.at(m_pos + 1));
            if (hi < 0 || lo < 0)
                return false;
            m_pos += 2;
            if (m_pendingSkip > 0) {
                --m_pendingSkip;
                return true;
            }
            if (!top().skip)
                m_bytes.append(char(hi * 16 + lo));
            return true;
        }
        if (m_pendingSkip > 0) {
            --m_pendingSkip;
            return true;
        }
        switch (c) {
        case '*':
            // An ignorable destination: its group is never visible text.
            if (firstInGroup)
                top().skip = true;
            return true;
        case '\\':
        case '{':
        case '}':
            emitText(QString(QLatin1Char(c)));
            return true;
        case '~':
            emitText(QString(QChar(0x00A0)));
            return true;
        case '_':
            emitText(QString(QChar(0x2011)));
            return true;
        case '\r':
        case '\n':
            emitText(QStringLiteral("\n"));
            return true;
        case '\t':
            emitText(QStringLiteral("\t"));
            return true;
        default: // \- (optional hyphen), \: (subentry) and unknown symbols
            return true;
        }
    }

    void controlWord(const QByteArray &word, bool hasParam, qint64 param, bool firstInGroup)
    {
        Group &g = top();
        if (word == "u" && hasParam) {
            // \uN is a signed 16-bit UTF-16 unit; the next \ucN characters are
            // the fallback for readers without Unicode.
            const char16_t unit = char16_t(param < 0 ? param + 65536 : param);
            if (!g.skip)
                emitText(QString(QChar(unit)));
            m_pendingSkip = g.uc;
            return;
        }
        if (word == "uc") {
            g.uc = int(std::clamp<qint64>(param, 0, 16));
            return;
        }
        if (word == "ansicpg" && hasParam) {
            flushBytes();
            setDocumentCodePage(int(param));
            return;
        }
        if (word == "ansi") {
            setDocumentCodePage(1252);
            return;
        }
        if (word == "mac") {
            setDocumentCodePage(10000);
            return;
        }
        if (word == "pc") {
            setDocumentCodePage(437);
            return;
        }
        if (word == "pca") {
            setDocumentCodePage(850);
            return;
        }
        if (word == "fonttbl") {
            g.skip = true;
            g.inFontTable = true;
            return;
        }
        if (g.inFontTable) {
            if (word == "f" && hasParam)
                m_fontBeingDefined = int(param);
            else if (word == "fcharset" && hasParam && m_fontBeingDefined >= 0)
                m_fontCodePages.insert(m_fontBeingDefined, codePageForCharset(int(param)));
            return;
        }
        if (word == "f" && hasParam) {
            const int page = m_fontCodePages.value(int(param), 0);
            if (page != g.codePage)
                flushBytes();
            g.codePage = page;
            return;
        }
        if (firstInGroup && ignoredDestinations().contains(word.toLower())) {
            g.skip = true;
            return;
        }
        if (g.skip)
            return;
        const auto symbol = symbolWords().constFind(word);
        if (symbol != symbolWords().constEnd())
            emitText(*symbol);
    }

    bool skipBinary(qint64 count)
    {
        if (count < 0 || count > m_in.size() - m_pos)
            return false;
        m_pos += count;
        return true;
    }

    void setDocumentCodePage(int page)
    {
        if (page == m_documentCodePage)
            return;
        flushBytes();
        m_documentCodePage = page;
    }

    void emitText(const QString &text)
    {
        flushBytes();
        m_out.append(text);
    }

    // Decodes the 8-bit bytes gathered so far; multi-byte code pages need the
    // whole run at once.
    void flushBytes()
    {
        if (m_bytes.isEmpty())
            return;
        const int page = (!m_stack.empty() && top().codePage) ? top().codePage : m_documentCodePage;
        if (page == 1252 || page == 0) {
            for (char b : std::as_const(m_bytes)) {
                const uchar u = uchar(b);
                if (u >= 0x80 && u < 0xA0) {
                    const char16_t mapped = kCp1252High[u - 0x80];
                    m_out.append(mapped ? QChar(mapped) : QChar(0xFFFD));
                } else {
                    m_out.append(QChar(u));
                }
            }
        } else {
            QStringDecoder &decoder = decoderFor(page);
            if (decoder.isValid()) {
                decoder.resetState();
                m_out.append(decoder.decode(m_bytes));
            } else {
                m_out.append(QString::fromLatin1(m_bytes));
            }
        }
        m_bytes.clear();
    }

    QStringDecoder &decoderFor(int page)
    {
        auto it = m_decoders.find(page);
        if (it == m_decoders.end())
            it = m_decoders.emplace(page, std::make_unique<QStringDecoder>(codecName(page).constData())).first;
        return *it->second;
    }

    const QByteArray &m_in;
    qsizetype m_pos = 0;
    std::map<int, std::unique_ptr<QStringDecoder>> m_decoders;
    std::vector<Group> m_stack;
    QString m_out;
    QByteArray m_bytes;
    int m_pendingSkip = 0;
    int m_documentCodePage = 1252;
    int m_fontBeingDefined = -1;
    QHash<int, int> m_fontCodePages;
    bool m_sawGroupStart = false;
    bool m_closed = false;
};

} // namespace

namespace RtfPlainText {

std::optional<QString> convert(const QByteArray &rtf)
{
    return Parser(rtf).run();
}

} // namespace RtfPlainText
