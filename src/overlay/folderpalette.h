#pragma once

#include <QColor>

// The eight folder colours, in order: red, orange, yellow, green, blue,
// purple, pink, cyan. Folder k (its position among the store's folders)
// takes colour k modulo 8; the recents chip and the "Tous" target are gray.
namespace FolderPalette {

inline QColor color(int position)
{
    static const QColor colors[8] = {
        QColor(0xFF, 0x45, 0x3A), QColor(0xFF, 0x9F, 0x0A), QColor(0xFF, 0xD6, 0x0A), QColor(0x32, 0xD7, 0x4B),
        QColor(0x0A, 0x84, 0xFF), QColor(0xBF, 0x5A, 0xF2), QColor(0xFF, 0x37, 0x5F), QColor(0x64, 0xD2, 0xFF),
    };
    return colors[((position % 8) + 8) % 8];
}

inline QColor gray()
{
    return QColor(0x98, 0x98, 0x9D);
}

// The accent colour of drop-hover outlines.
inline QColor accent()
{
    return QColor(0x0A, 0x84, 0xFF);
}

} // namespace FolderPalette
