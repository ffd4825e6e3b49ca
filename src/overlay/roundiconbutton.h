#pragma once

#include <QAbstractButton>
#include <QColor>

// A chrome-less round button: a symbol centred in a 28 px translucent
// circle with a faint white outline (the search and "+" buttons).
class RoundIconButton final : public QAbstractButton
{
    Q_OBJECT

public:
    static constexpr int kDiameter = 28;
    static constexpr int kIconSize = 14;

    RoundIconButton(const QString &symbol, const QColor &color, QWidget *parent = nullptr);

    void setSymbol(const QString &symbol, const QColor &color);
    QString symbol() const { return m_symbol; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_symbol;
    QColor m_color;
};
