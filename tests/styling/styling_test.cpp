// The symbol set.
#include <gtest/gtest.h>

#include "styling/symbolicons.h"

namespace {

// Every symbol the program's views name ships and renders in the colour asked
// for; an unknown name gives a null pixmap.
TEST(SymbolIcons, EverySymbolOfTheViewsShipsAndRendersInTheColourAskedFor)
{
    for (const char *symbol : {"link", "doc", "photo", "questionmark.circle", "pin", "pin.fill", "scissors",
                               "paperclip.circle.fill", "checkmark.shield.fill", "exclamationmark.triangle.fill",
                               "rectangle.bottomthird.inset.filled", "trash", "gearshape", "power", "lock.shield",
                               "keyboard", "speaker.wave.2.fill", "tray.fill", "folder.fill", "xmark.circle.fill",
                               "magnifyingglass", "clock.arrow.circlepath", "plus"}) {
        SCOPED_TRACE(symbol);
        const QString name = QString::fromLatin1(symbol);
        ASSERT_TRUE(SymbolIcons::has(name));
        const QImage img = SymbolIcons::pixmap(name, 24, QColor(255, 0, 0)).toImage();
        ASSERT_EQ(img.size(), QSize(24, 24));
        int inked = 0;
        for (int y = 0; y < 24; ++y) {
            for (int x = 0; x < 24; ++x) {
                const QColor c = img.pixelColor(x, y);
                if (c.alpha() > 128) {
                    ++inked;
                    EXPECT_EQ(c.red(), 255);
                    EXPECT_EQ(c.green(), 0);
                }
            }
        }
        EXPECT_GT(inked, 10);
    }
    EXPECT_TRUE(SymbolIcons::pixmap(QStringLiteral("no.such.symbol"), 16, Qt::black).isNull());
}

} // namespace
