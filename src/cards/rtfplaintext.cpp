#include "rtfplaintext.h"

#include <vector>

#include <QHash>
#include <QSet>

namespace RtfPlainText {

namespace {

struct GroupState
{
    bool skip = false;
    int uc = 1;
};

QChar cp1252(uchar b)
{
    static const char16_t high[32] = {
        0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    if (b >= 0x80 && b < 0xA0)
        return QChar(high[b - 0x80]);
    return QChar(b);
}

const QSet<QByteArray> &skippedDestinations()
{
    static const QSet<QByteArray> set = {
        "fonttbl",   "colortbl",  "stylesheet",      "info",          "pict",     "object",
        "header",    "footer",    "headerl",         "headerr",       "footerl",  "footerr",
        "themedata", "datastore", "latentstyles",    "listtable",     "listoverridetable",
        "rsidtbl",   "generator", "xmlnstbl",        "fldinst",       "colorschememapping",
        "expandedcolortbl",       "listtext",        "pntext",        "filetbl",  "revtbl",
        "nonshppict", "bkmkstart", "bkmkend",        "footnote",      "annotation"};
    return set;
}

const QHash<QByteArray, QString> &wordTexts()
{
    static const QHash<QByteArray, QString> map = {
        {"par", QStringLiteral("\n")},       {"line", QStringLiteral("\n")},
        {"sect", QStringLiteral("\n")},      {"page", QStringLiteral("\n")},
        {"row", QStringLiteral("\n")},       {"tab", QStringLiteral("\t")},
        {"cell", QStringLiteral("\t")},      {"emdash", QString(QChar(0x2014))},
        {"endash", QString(QChar(0x2013))},  {"bullet", QString(QChar(0x2022))},
        {"lquote", QString(QChar(0x2018))},  {"rquote", QString(QChar(0x2019))},
        {"ldblquote", QString(QChar(0x201C))}, {"rdblquote", QString(QChar(0x201D))},
        {"emspace", QString(QChar(0x2003))}, {"enspace", QString(QChar(0x2002))},
    };
    return map;
}

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
int hexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

std::optional<QString> extract(const QByteArray &rtf)
{
    qsizetype i = 0;
    const qsizetype n = rtf.size();
    while (i < n && (rtf[i] == ' ' || rtf[i] == '\r' || rtf[i] == '\n' || rtf[i] == '\t'))
        ++i;
    if (!rtf.mid(i, 5).startsWith("{\\rtf"))
        return std::nullopt;

    QString out;
    std::vector<GroupState> stack;
    GroupState state;
    int pendingSkip = 0;      // fallback characters still to drop after \uN
    bool destinationStar = false; // \* seen at the start of this group

    auto put = [&](QChar c) {
        if (pendingSkip > 0) {
            --pendingSkip;
            return;
        }
        if (!state.skip)
            out.append(c);
    };

    bool groupStart = false;
    while (i < n) {
        const char c = rtf[i];
        if (c == '{') {
            stack.push_back(state);
            groupStart = true;
            destinationStar = false;
            pendingSkip = 0;
            ++i;
            continue;
        }
        if (c == '}') {
            if (stack.empty())
                return std::nullopt; // more closing than opening braces
            state = stack.back();
            stack.pop_back();
            pendingSkip = 0;
            ++i;
            if (stack.empty()) {
                // End of the document; anything after the final brace is ignored.
                return out;
            }
            continue;
        }
        if (c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        if (c != '\\') {
            put(uchar(c) < 0x80 ? QChar(uchar(c)) : cp1252(uchar(c)));
            groupStart = false;
            ++i;
            continue;
        }
        // A control sequence.
        ++i;
        if (i >= n)
            break;
        const char d = rtf[i];
        if (isLetter(d)) {
            const qsizetype start = i;
            while (i < n && isLetter(rtf[i]))
                ++i;
            const QByteArray word = rtf.mid(start, i - start);
            bool hasParam = false;
            long long param = 0;
            bool negative = false;
            if (i < n && rtf[i] == '-' && i + 1 < n && isDigit(rtf[i + 1])) {
                negative = true;
                ++i;
            }
            while (i < n && isDigit(rtf[i])) {
                hasParam = true;
                if (param < 1'000'000'000)
                    param = param * 10 + (rtf[i] - '0');
                ++i;
            }
            if (negative)
                param = -param;
            if (i < n && rtf[i] == ' ')
                ++i; // the delimiter space belongs to the control word

            const bool atGroupStart = groupStart;
            groupStart = false;
            if (atGroupStart && (destinationStar || skippedDestinations().contains(word))) {
                // A known destination without text, or {\*\word ...}: an
                // ignorable one, dropped whether we know it or not.
                state.skip = true;
                destinationStar = false;
                continue;
            }
            destinationStar = false;
            if (word == "uc" && hasParam) {
                state.uc = int(qBound(0LL, param, 10LL));
                continue;
            }
            if (word == "u" && hasParam) {
                long long v = param < 0 ? param + 65536 : param;
                if (pendingSkip > 0)
                    pendingSkip = 0;
                if (!state.skip)
                    out.append(QChar(char16_t(v & 0xffff)));
                pendingSkip = state.uc;
                continue;
            }
            if (auto it = wordTexts().constFind(word); it != wordTexts().constEnd()) {
                for (QChar ch : *it)
                    put(ch);
            }
            continue;
        }
        // Control symbols.
        groupStart = false;
        ++i;
        switch (d) {
        case '\\': case '{': case '}': put(QChar(uchar(d))); break;
        case '~': put(QChar(0x00A0)); break;
        case '_': put(QChar(0x2011)); break;
        case '-': break; // optional hyphen
        case '*': destinationStar = true; groupStart = true; break;
        case '\r': case '\n': put(QChar(u'\n')); break;
        case '\'': {
            if (i + 1 < n && hexValue(rtf[i]) >= 0 && hexValue(rtf[i + 1]) >= 0) {
                put(cp1252(uchar(hexValue(rtf[i]) * 16 + hexValue(rtf[i + 1]))));
                i += 2;
            }
            break;
        }
        default: break;
        }
    }
    return std::nullopt; // ran out of data before the document's group closed
}

} // namespace RtfPlainText
