#include "cardformat.h"

#include <cmath>

#include <QDateTime>
#include <QStringDecoder>
#include <QTextBoundaryFinder>
#include <QTimeZone>

#include "model/clipboarditem.h"
#include "model/referencedate.h"
#include "capture/rtfplaintext.h"

namespace CardFormat {

QString kindLabel(ClipKind kind)
{
    switch (kind) {
    case ClipKind::Text: return QStringLiteral("Texte");
    case ClipKind::Rtf: return QStringLiteral("RTF");
    case ClipKind::Url: return QStringLiteral("URL");
    case ClipKind::Image: return QStringLiteral("Image");
    case ClipKind::FileURL: return QStringLiteral("Fichier");
    case ClipKind::Unknown: return QStringLiteral("Inconnu");
    }
    return QStringLiteral("Inconnu");
}

QString relativeDateText(double date, double now)
{
    const bool future = date > now;
    // Calendar differences are taken in local time, as a calendar-aware
    // formatter does (a month is not a fixed number of seconds).
    const QDateTime a = QDateTime::fromMSecsSinceEpoch(unixMSecsClamped(std::min(date, now)));
    const QDateTime b = QDateTime::fromMSecsSinceEpoch(unixMSecsClamped(std::max(date, now)));

    int years = b.date().year() - a.date().year();
    if (years > 0 && a.addYears(years) > b)
        --years;
    QDateTime cursor = a.addYears(years);
    int months = (b.date().year() - cursor.date().year()) * 12 + (b.date().month() - cursor.date().month());
    if (months > 0 && cursor.addMonths(months) > b)
        --months;
    cursor = cursor.addMonths(months);
    const qint64 seconds = cursor.secsTo(b);
    const qint64 days = seconds / 86400;
    const qint64 weeks = days / 7;
    const qint64 hours = seconds / 3600;
    const qint64 minutes = seconds / 60;

    qint64 value;
    const char *unit;
    if (years > 0) { value = years; unit = "a"; }
    else if (months > 0) { value = months; unit = "m."; }
    else if (weeks > 0) { value = weeks; unit = "sem."; }
    else if (days > 0) { value = days; unit = "j"; }
    else if (hours > 0) { value = hours; unit = "h"; }
    else if (minutes > 0) { value = minutes; unit = "min"; }
    else { value = seconds; unit = "s"; }

    const QString amount = QStringLiteral("%1 %2").arg(value).arg(QLatin1String(unit));
    return future && value > 0 ? QStringLiteral("dans ") + amount : QStringLiteral("il y a ") + amount;
}

QString byteCountText(qint64 bytes)
{
    if (bytes == 0)
        return QStringLiteral("Zéro Ko");
    const qint64 magnitude = bytes < 0 ? -bytes : bytes;
    if (magnitude < 1000)
        return QStringLiteral("%1 %2").arg(bytes).arg(magnitude == 1 ? QLatin1String("octet") : QLatin1String("octets"));

    static const char *const kUnits[] = {"Ko", "Mo", "Go", "To", "Po"};
    static const int kDecimals[] = {0, 1, 2, 2, 2};
    double value = double(bytes) / 1000.0;
    int unit = 0;
    while (unit < 4 && std::fabs(value) >= 1000.0) {
        value /= 1000.0;
        ++unit;
    }
    // Rounding may carry into the next unit (999 999 octets is "1 Mo").
    auto rounded = [](double v, int decimals) {
        const double f = std::pow(10.0, decimals);
        return std::round(v * f) / f;
    };
    if (unit < 4 && std::fabs(rounded(value, kDecimals[unit])) >= 1000.0) {
        value /= 1000.0;
        ++unit;
    }
    QString number = QString::number(rounded(value, kDecimals[unit]), 'f', kDecimals[unit]);
    if (number.contains(u'.')) {
        while (number.endsWith(u'0'))
            number.chop(1);
        if (number.endsWith(u'.'))
            number.chop(1);
    }
    number.replace(u'.', u',');
    return number + u' ' + QLatin1String(kUnits[unit]);
}

qint64 graphemeCount(const QString &text)
{
    if (text.isEmpty())
        return 0;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qint64 count = 0;
    while (finder.toNextBoundary() != -1)
        ++count;
    return count;
}

std::optional<qint64> characterCount(const ClipboardItem &item)
{
    if (item.textCharCount)
        return *item.textCharCount;
    switch (item.kind) {
    case ClipKind::Rtf: {
        const auto text = RtfPlainText::convert(item.raw.bytes());
        if (!text)
            return std::nullopt;
        return graphemeCount(*text);
    }
    case ClipKind::Text:
    case ClipKind::Url: {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = decoder.decode(item.raw.bytes());
        if (decoder.hasError())
            return std::nullopt;
        return graphemeCount(text);
    }
    default:
        return std::nullopt;
    }
}

QString footerText(const ClipboardItem &item)
{
    if (const auto n = characterCount(item))
        return QStringLiteral("%1 caractères").arg(*n);
    return byteCountText(item.raw.size());
}

} // namespace CardFormat
