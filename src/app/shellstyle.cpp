#include "shellstyle.h"

#include <QDate>
#include <QLabel>
#include <QPalette>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "styling/symbolicons.h"

namespace ShellStyle {

void applyDarkPalette(QWidget *widget)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::WindowText, kPrimaryText);
    p.setColor(QPalette::Text, kPrimaryText);
    p.setColor(QPalette::ButtonText, kPrimaryText);
    p.setColor(QPalette::Window, QColor(30, 30, 30));
    p.setColor(QPalette::Base, QColor(44, 44, 46));
    p.setColor(QPalette::AlternateBase, QColor(54, 54, 56));
    p.setColor(QPalette::Button, QColor(58, 58, 60));
    p.setColor(QPalette::Highlight, kAccent);
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::PlaceholderText, kSecondaryText);
    p.setColor(QPalette::ToolTipBase, QColor(44, 44, 46));
    p.setColor(QPalette::ToolTipText, kPrimaryText);
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(235, 235, 245, 80));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(235, 235, 245, 80));
    widget->setPalette(p);
}

QFont font(TextStyle style, bool bold)
{
    QFont f;
    switch (style) {
    case TextStyle::Title3:
        f.setPixelSize(19);
        break;
    case TextStyle::Headline:
        f.setPixelSize(14);
        f.setWeight(QFont::DemiBold);
        break;
    case TextStyle::Body:
        f.setPixelSize(14);
        break;
    case TextStyle::Callout:
        f.setPixelSize(13);
        break;
    case TextStyle::Caption:
        f.setPixelSize(12);
        break;
    case TextStyle::Caption2:
        f.setPixelSize(11);
        break;
    }
    if (bold)
        f.setWeight(QFont::Bold);
    return f;
}

QLabel *label(const QString &text, TextStyle style, bool secondary, bool bold, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setFont(font(style, bold));
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, secondary ? kSecondaryText : kPrimaryText);
    l->setPalette(p);
    return l;
}

QPushButton *button(const QString &text, ButtonStyle style, const QString &symbol, bool fullWidth, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setFont(font(TextStyle::Body));
    b->setCursor(Qt::PointingHandCursor);
    QString fg = QStringLiteral("rgba(235,235,240,255)");
    QString bg = QStringLiteral("rgba(255,255,255,20)");
    QString hover = QStringLiteral("rgba(255,255,255,34)");
    QString border = QStringLiteral("rgba(255,255,255,38)");
    QColor iconColor = kPrimaryText;
    switch (style) {
    case ButtonStyle::Bordered:
        break;
    case ButtonStyle::Prominent:
        fg = QStringLiteral("white");
        bg = kAccent.name();
        hover = kAccent.lighter(115).name();
        border = kAccent.name();
        iconColor = Qt::white;
        break;
    case ButtonStyle::Destructive:
        fg = kRed.name();
        iconColor = kRed;
        break;
    case ButtonStyle::DestructiveProminent:
        fg = QStringLiteral("white");
        bg = kRed.name();
        hover = kRed.lighter(115).name();
        border = kRed.name();
        iconColor = Qt::white;
        break;
    }
    b->setStyleSheet(QStringLiteral("QPushButton { color: %1; background: %2; border: 1px solid %3; border-radius: 6px;"
                                    " padding: 5px 12px; %5 }"
                                    "QPushButton:hover { background: %4; }"
                                    "QPushButton:disabled { color: rgba(235,235,245,90); }")
                         .arg(fg, bg, border, hover,
                              fullWidth ? QStringLiteral("text-align: left;") : QString()));
    if (!symbol.isEmpty())
        b->setIcon(SymbolIcons::icon(symbol, iconColor));
    if (fullWidth)
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return b;
}

QVBoxLayout *paneColumn(QWidget *pane)
{
    auto *outer = new QVBoxLayout(pane);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *scroll = new QScrollArea(pane);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->viewport()->setAutoFillBackground(false);
    auto *content = new QWidget;
    content->setAutoFillBackground(false);
    auto *column = new QVBoxLayout(content);
    column->setContentsMargins(32, 24, 32, 24);
    column->setSpacing(20);
    column->setAlignment(Qt::AlignTop);
    scroll->setWidget(content);
    // setWidget() turns background filling on; the window's gradient must show.
    content->setAutoFillBackground(false);
    outer->addWidget(scroll);
    return column;
}

QLabel *symbolTile(const QString &symbol, QWidget *parent)
{
    const qreal dpr = 2.0;
    QPixmap tile(QSize(44, 44) * dpr);
    tile.setDevicePixelRatio(dpr);
    tile.fill(Qt::transparent);
    {
        QPainter p(&tile);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 26));
        p.drawRoundedRect(QRectF(0, 0, 44, 44), 10, 10);
        const QPixmap glyph = SymbolIcons::pixmap(symbol, 22, kPrimaryText, dpr);
        p.drawPixmap(QPointF(11, 11), glyph);
    }
    auto *l = new QLabel(parent);
    l->setPixmap(tile);
    l->setFixedSize(44, 44);
    return l;
}

void styleBordered(QWidget *widget)
{
    if (!widget)
        return;
    widget->setFont(font(TextStyle::Body));
    widget->setStyleSheet(QStringLiteral("QPushButton { color: rgb(235,235,240); background: rgba(255,255,255,20);"
                                         " border: 1px solid rgba(255,255,255,38); border-radius: 6px; padding: 5px 12px; }"
                                         "QPushButton:hover { background: rgba(255,255,255,34); }"
                                         "QPushButton:checked, QPushButton:pressed { background: rgba(10,132,255,160); }"));
}

QString boldMarkup(const QString &text)
{
    const QStringList parts = text.split(QStringLiteral("**"));
    QString out;
    for (int i = 0; i < parts.size(); ++i) {
        const QString escaped = parts[i].toHtmlEscaped();
        if (i % 2 == 0)
            out += escaped;
        else if (i < parts.size() - 1)
            out += QStringLiteral("<b>") + escaped + QStringLiteral("</b>");
        else
            out += QStringLiteral("**") + escaped; // an unclosed run stays literal
    }
    return out;
}

QString versionText()
{
    return QStringLiteral("v") + QStringLiteral(BRAMBLET_VERSION);
}

QString noticeLine()
{
    return QStringLiteral("© %1 Bramblet").arg(QDate::currentDate().year());
}

} // namespace ShellStyle
