#include "contentdecoration.h"

#include <vector>

#include <QFontDatabase>
#include <QRegularExpression>

namespace ContentDecoration {

namespace {

// ICU (the engine these patterns were written for) treats \b and \d as
// Unicode-aware; PCRE2 needs the UCP option to agree.
constexpr auto kUnicode = QRegularExpression::UseUnicodePropertiesOption;

QRegularExpression compiled(const QString &pattern, QRegularExpression::PatternOptions options)
{
    // Each call site keeps its own static; this only builds and optimises.
    QRegularExpression re(pattern, options | kUnicode);
    Q_ASSERT_X(re.isValid(), "ContentDecoration", qPrintable(re.errorString()));
    re.optimize();
    return re;
}

const QRegularExpression &hexColorPattern()
{
    static const QRegularExpression re = compiled(QStringLiteral(R"((?i)#([0-9a-f]{6}|[0-9a-f]{8})\b)"), {});
    return re;
}

const QRegularExpression &bracketPattern()
{
    static const QRegularExpression re = compiled(QStringLiteral(R"([{};()\[\]])"), {});
    return re;
}

const QRegularExpression &detectionKeywordPattern()
{
    static const QRegularExpression re = compiled(QStringLiteral(
        R"(\b(func|let|var|class|struct|if|else|switch|case|for|while|return|import|public|private|static|extension|throws|try|catch|throw|async|await|enum|protocol|guard|break|continue|new|const|final|interface|namespace|use|echo)\b)"),
        {});
    return re;
}

struct Rule
{
    QRegularExpression pattern;
    QColor color;
};

const std::vector<Rule> &highlightRules()
{
    constexpr auto dotAll = QRegularExpression::DotMatchesEverythingOption;
    static const std::vector<Rule> rules = {
        {compiled(QStringLiteral(R"(//[^\n]*)"), dotAll), commentColor()},
        {compiled(QStringLiteral(R"(/\*.*?\*/)"), dotAll), commentColor()},
        {compiled(QStringLiteral(R"("(\\.|[^"\\])*")"), dotAll), stringColor()},
        {compiled(QStringLiteral(R"('(\\.|[^'\\])*')"), dotAll), stringColor()},
        {compiled(QStringLiteral(R"(\b\d+(\.\d+)?\b)"), dotAll), numberColor()},
        {compiled(QStringLiteral(
             R"(\b(func|let|var|class|struct|enum|protocol|extension|import|public|private|internal|fileprivate|static|final|override|mutating|init|deinit|if|else|switch|case|default|for|while|repeat|do|try|catch|throw|throws|rethrows|guard|break|continue|return|async|await|in|where|as|Any|nil|true|false|new|const|function|interface|namespace|use|echo)\b)"),
             dotAll),
         keywordColor()},
    };
    return rules;
}

bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

} // namespace

QColor commentColor() { return QColor(142, 142, 147); } // system grey
QColor stringColor() { return QColor(255, 214, 10); }   // system yellow (dark appearance)
QColor numberColor() { return QColor(106, 196, 220); }  // system teal (dark appearance)
QColor keywordColor() { return QColor(255, 55, 95); }   // system pink (dark appearance)

QFont monospaceFont(qreal pointSize, QFont::Weight weight)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::Monospace);
    font.setPointSizeF(pointSize * 0.75); // sizes are in pixels at 96 dpi, as the card is laid out
    font.setWeight(weight);
    return font;
}

std::optional<QString> detectHexColor(const QString &text)
{
    const QRegularExpressionMatch m = hexColorPattern().match(text);
    if (!m.hasMatch())
        return std::nullopt;
    return m.captured(0);
}

std::optional<QColor> parseHexColor(const QString &code)
{
    QString s = code.trimmed();
    if (s.startsWith(u'#'))
        s.remove(0, 1);
    if (s.size() != 6 && s.size() != 8)
        return std::nullopt;
    // Every character must be a hex digit: a lenient scan would read "12zz56"
    // as 0x12 and turn garbage into black-ish blue.
    for (QChar c : s) {
        if (!isHexDigit(c))
            return std::nullopt;
    }
    bool ok = false;
    const quint64 value = s.toULongLong(&ok, 16);
    if (!ok)
        return std::nullopt;
    int r, g, b, a;
    if (s.size() == 6) {
        r = int((value >> 16) & 0xff);
        g = int((value >> 8) & 0xff);
        b = int(value & 0xff);
        a = 255;
    } else {
        r = int((value >> 24) & 0xff);
        g = int((value >> 16) & 0xff);
        b = int((value >> 8) & 0xff);
        a = int(value & 0xff);
    }
    return QColor(r, g, b, a);
}

bool looksLikeCode(const QString &text)
{
    if (text.contains(QStringLiteral("```")))
        return true;
    if (bracketPattern().match(text).hasMatch())
        return true;
    if (detectionKeywordPattern().match(text).hasMatch())
        return true;
    const auto lines = QStringView(text).split(u'\n', Qt::SkipEmptyParts);
    const qsizetype total = lines.size();
    qsizetype indented = 0;
    for (QStringView line : lines) {
        if (line.startsWith(QLatin1String("    ")) || line.startsWith(u'\t'))
            ++indented;
    }
    return indented > std::max<qsizetype>(total / 3, 2);
}

StyledText highlightCode(const QString &text)
{
    StyledText out;
    out.text = text;
    out.font = monospaceFont(12.5);

    // One colour slot per UTF-16 unit; rules overwrite in order, then equal
    // neighbours are merged into non-overlapping ranges.
    const QColor white(Qt::white);
    std::vector<const QColor *> colors(size_t(text.size()), &white);
    const auto &rules = highlightRules();
    for (const Rule &rule : rules) {
        auto it = rule.pattern.globalMatch(text);
        while (it.hasNext()) {
            const QRegularExpressionMatch m = it.next();
            const qsizetype start = m.capturedStart(0);
            const qsizetype end = m.capturedEnd(0);
            if (start < 0 || end > text.size() || end <= start)
                continue;
            for (qsizetype i = start; i < end; ++i)
                colors[size_t(i)] = &rule.color;
        }
    }
    qsizetype runStart = 0;
    for (qsizetype i = 1; i <= text.size(); ++i) {
        if (i == text.size() || *colors[size_t(i)] != *colors[size_t(runStart)]) {
            QTextLayout::FormatRange range;
            range.start = int(runStart);
            range.length = int(i - runStart);
            range.format.setForeground(*colors[size_t(runStart)]);
            out.formats.append(range);
            runStart = i;
        }
    }
    return out;
}

} // namespace ContentDecoration
