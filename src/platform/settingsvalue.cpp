#include "settingsvalue.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

constexpr char kBytesTag[] = "bytes:";

bool isJsonDocument(const QByteArray &bytes)
{
    QJsonParseError error{};
    QJsonDocument::fromJson(bytes, &error);
    return error.error == QJsonParseError::NoError;
}

// JSON that can stand as a value line as it is: valid UTF-8, one line, no
// surrounding blanks (the reader trims them), an object or an array.
bool isOneLineJson(const QByteArray &bytes)
{
    if (bytes.isEmpty() || bytes.contains('\n') || bytes.contains('\r') || bytes.trimmed() != bytes)
        return false;
    if (QString::fromUtf8(bytes).toUtf8() != bytes)
        return false;
    return (bytes.startsWith('{') || bytes.startsWith('[')) && isJsonDocument(bytes);
}

} // namespace

namespace SettingsValue {

QString fromBool(bool value) { return value ? QStringLiteral("true") : QStringLiteral("false"); }

QString fromString(const QString &value)
{
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

QString fromBytes(const QByteArray &value)
{
    if (isOneLineJson(value))
        return QString::fromUtf8(value);
    return QLatin1String(kBytesTag) + QString::fromLatin1(value.toBase64());
}

std::optional<bool> toBool(const QString &text)
{
    if (text == u"true")
        return true;
    if (text == u"false")
        return false;
    return std::nullopt;
}

std::optional<QString> toString(const QString &text)
{
    if (!text.startsWith(u'"'))
        return std::nullopt;
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson('[' + text.toUtf8() + ']', &error);
    if (error.error != QJsonParseError::NoError || doc.array().size() != 1 || !doc.array().first().isString())
        return std::nullopt;
    return doc.array().first().toString();
}

std::optional<QByteArray> toBytes(const QString &text)
{
    if (text.startsWith(QLatin1String(kBytesTag))) {
        const auto decoded = QByteArray::fromBase64Encoding(text.mid(int(sizeof(kBytesTag)) - 1).toLatin1(),
                                                            QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded)
            return std::nullopt;
        return *decoded;
    }
    const QByteArray bytes = text.toUtf8();
    if ((text.startsWith(u'{') || text.startsWith(u'[')) && isJsonDocument(bytes))
        return bytes;
    return std::nullopt;
}

} // namespace SettingsValue
