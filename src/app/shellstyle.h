#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QLabel;
class QPushButton;
class QVBoxLayout;
class QWidget;

// The shell's dark look: palette, type scale and button styles shared by the
// menu-bar panel and the settings window.
namespace ShellStyle {

enum class TextStyle { Title3, Headline, Body, Callout, Caption, Caption2 };
enum class ButtonStyle { Bordered, Prominent, Destructive, DestructiveProminent };

inline const QColor kAccent{10, 132, 255};
inline const QColor kGreen{48, 209, 88};
inline const QColor kOrange{255, 159, 10};
inline const QColor kRed{255, 69, 58};
inline const QColor kPrimaryText{235, 235, 240};
inline const QColor kSecondaryText{235, 235, 245, 153};

// Light text on dark backgrounds for `widget` and its children.
void applyDarkPalette(QWidget *widget);
QFont font(TextStyle style, bool bold = false);
// A label in `style`; secondary uses the dimmer text colour.
QLabel *label(const QString &text, TextStyle style, bool secondary = false, bool bold = false, QWidget *parent = nullptr);
// A push button with an optional symbol, styled; `fullWidth` spans the row
// with its content leading-aligned.
QPushButton *button(const QString &text, ButtonStyle style, const QString &symbol = QString(),
                    bool fullWidth = false, QWidget *parent = nullptr);
// Gives `pane` the common frame (a vertical scroll view, content filling the
// width, top-leading, 24 vertical and 32 horizontal padding) and returns the
// column to fill.
QVBoxLayout *paneColumn(QWidget *pane);
// A 44 × 44 rounded tile in the quaternary fill holding `symbol` at 22 points.
QLabel *symbolTile(const QString &symbol, QWidget *parent = nullptr);

// Gives a button made elsewhere (the shortcut recorder) the bordered look.
void styleBordered(QWidget *button);

// Rich text with **bold** runs turned into <b>, the rest escaped.
QString boldMarkup(const QString &text);
// "v" and the program's version.
QString versionText();
// "© <year> Bramblet".
QString noticeLine();

} // namespace ShellStyle
