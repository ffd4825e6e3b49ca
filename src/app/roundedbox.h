#pragma once

#include <QColor>
#include <QWidget>

class QVBoxLayout;

// A container drawn as a rounded (continuous-corner) translucent box with a
// thin inside outline; its children go in content(). Used by SectionBox,
// HeroCard, BannerCard and the settings groups.
class RoundedBox : public QWidget
{
    Q_OBJECT

public:
    struct Look {
        qreal radius = 12;
        int padding = 14;
        int spacing = 12;
        QColor tint;                          // drawn behind the material; invalid = none
        QColor border{255, 255, 255, 38};     // 1-point inside outline
    };

    explicit RoundedBox(Look look, QWidget *parent = nullptr);

    QVBoxLayout *content() const { return m_layout; }
    const Look &look() const { return m_look; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Look m_look;
    QVBoxLayout *m_layout;
};
