#pragma once

#include <QSet>
#include <QUuid>

class QMimeData;
struct ClipboardItem;

// What a card carries when dragged (onto a folder chip, say).
namespace CardDragPayload {

inline constexpr char kIdMimeType[] = "text/plain";
inline constexpr char kJsonMimeType[] = "application/json";

// kIdMimeType = the clip's canonical upper-case UUID; when `selection` is not
// empty, also kJsonMimeType = the compact JSON array of the selected ids
// (canonical upper-case, the set's order). The caller owns the result (hand
// it to QDrag).
QMimeData *create(const ClipboardItem &item, const QSet<QUuid> &selection);

} // namespace CardDragPayload
