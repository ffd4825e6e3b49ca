#include "keycombodto.h"

#include <cmath>
#include <limits>

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

namespace {

// JSON numbers arrive as doubles: accept only whole, non-negative values that
// fit the field (2^53 bounds what a double holds exactly).
std::optional<uint64_t> unsignedValue(const QJsonValue &value, uint64_t max)
{
    if (!value.isDouble())
        return std::nullopt;
    const double d = value.toDouble();
    if (!std::isfinite(d) || d < 0 || std::floor(d) != d || d > 9007199254740992.0 || d > double(max))
        return std::nullopt;
    return static_cast<uint64_t>(d);
}

} // namespace

KeyComboDTO KeyComboDTO::defaultCombo() { return KeyComboDTO{9, 0x120000, QStringLiteral("⌘⇧V")}; }

QByteArray KeyComboDTO::toJson() const
{
    QJsonObject object;
    object.insert(QStringLiteral("keyCode"), double(keyCode));
    object.insert(QStringLiteral("modifiers"), double(modifiers));
    object.insert(QStringLiteral("display"), display);
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<KeyComboDTO> KeyComboDTO::fromJson(const QByteArray &json)
{
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    const QJsonObject object = doc.object();
    const auto keyCode = unsignedValue(object.value(QStringLiteral("keyCode")), std::numeric_limits<uint32_t>::max());
    const auto modifiers = unsignedValue(object.value(QStringLiteral("modifiers")), std::numeric_limits<uint64_t>::max());
    const QJsonValue display = object.value(QStringLiteral("display"));
    if (!keyCode || !modifiers || !display.isString())
        return std::nullopt;
    return KeyComboDTO{static_cast<uint32_t>(*keyCode), *modifiers, display.toString()};
}
