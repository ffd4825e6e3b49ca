#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include "platform/clipboardcontent.h"

// How MIME types cross between data-control offers and the rest of the
// program, so that a Wayland clipboard looks like the X11 one: the X11 text
// target names some owners still offer (UTF8_STRING, STRING, TEXT) read as
// text/plain, and our writes offer the text aliases and a PNG for an image.
namespace WaylandMimeMapping {

struct Presented
{
    // The types as the program sees them, in the owner's order.
    QStringList formats;
    // For each presented type, the type to ask the owner for.
    QHash<QString, QString> wireType;
};

// The view of an offer's types; duplicates dropped.
Presented present(const QStringList &wireTypes);

// The typed entries one write offers, in order of preference: the content's
// entries, the other text types when it carries text, image/png when it
// carries an image (encoded here), and the private own-write marker last.
// Empty content gives no entries (the clipboard is cleared).
QList<QPair<QString, QByteArray>> offeredEntries(const ClipboardContent &content);

} // namespace WaylandMimeMapping
