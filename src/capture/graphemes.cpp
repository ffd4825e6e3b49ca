#include "graphemes.h"

#include <QTextBoundaryFinder>

namespace {

bool isRegionalIndicatorAt(const QString &text, qsizetype pos)
{
    if (pos < 0 || pos + 1 >= text.size())
        return false;
    const char32_t cp = QChar::surrogateToUcs4(text.at(pos), text.at(pos + 1));
    return text.at(pos).isHighSurrogate() && cp >= 0x1F1E6 && cp <= 0x1F1FF;
}

// WORKAROUND: Qt 6.4's finder splits a flag (a pair of regional indicators)
// that follows an emoji ZWJ sequence. A boundary between two regional
// indicators is real only after an even number of them.
bool isFalseFlagSplit(const QString &text, qsizetype pos)
{
    if (!isRegionalIndicatorAt(text, pos))
        return false;
    int before = 0;
    for (qsizetype p = pos - 2; isRegionalIndicatorAt(text, p); p -= 2)
        ++before;
    return before % 2 == 1;
}

// Calls `visit(end)` for the end of each cluster until it returns false.
template<typename Visit>
void forEachClusterEnd(const QString &text, Visit visit)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype pos;
    while ((pos = finder.toNextBoundary()) != -1) {
        if (pos < text.size() && isFalseFlagSplit(text, pos))
            continue;
        if (!visit(pos))
            return;
    }
}

} // namespace

namespace Graphemes {

qsizetype count(const QString &text)
{
    qsizetype n = 0;
    forEachClusterEnd(text, [&](qsizetype) {
        ++n;
        return true;
    });
    return n;
}

QString left(const QString &text, qsizetype n)
{
    if (n <= 0)
        return QString();
    // Fast path: every cluster has at least one UTF-16 unit.
    if (text.size() <= n)
        return text;
    qsizetype seen = 0;
    qsizetype end = text.size();
    forEachClusterEnd(text, [&](qsizetype pos) {
        if (++seen == n) {
            end = pos;
            return false;
        }
        return true;
    });
    return text.left(end);
}

} // namespace Graphemes
