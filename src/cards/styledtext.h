#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QString>
#include <QTextLayout>

// Text with one font and a foreground colour per range, ready for a
// QTextLayout. `formats` cover the whole text without overlapping, in order.
struct StyledText
{
    QString text;
    QFont font;
    QList<QTextLayout::FormatRange> formats;

    // Foreground colour of the character at `index` (invalid colour outside).
    QColor colorAt(int index) const;
};
