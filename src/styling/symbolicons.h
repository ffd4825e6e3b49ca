#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringList>

// The project's own symbol set (SVG, compiled in), so no view depends on the
// desktop's icon theme. Names are the symbol names the views use ("pin.fill",
// "doc", "questionmark.circle", ...). Black parts of a symbol take the tint;
// white parts are cut out. Main thread only.
namespace SymbolIcons {

// Every name the set holds, sorted.
QStringList names();
bool has(const QString &name);

// The symbol tinted `color`, `size` device-independent pixels square, for a
// device pixel ratio `dpr`. Cached per (name, size, colour, dpr). An unknown
// name gives a null pixmap.
QPixmap pixmap(const QString &name, int size, const QColor &color, qreal dpr = 1.0);

// A QIcon (normal and disabled modes) for buttons and menus.
QIcon icon(const QString &name, const QColor &color);

} // namespace SymbolIcons
