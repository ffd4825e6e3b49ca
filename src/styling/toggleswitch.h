#pragma once

#include <QAbstractButton>

class QPropertyAnimation;

// An on/off switch bound to one boolean. Clicking (or Space) flips isOn and
// emits isOnChanged; setOn() from elsewhere moves the knob without emitting
// a click. Draws a pill track (accent colour when on) and a round knob.
class ToggleSwitch final : public QAbstractButton
{
    Q_OBJECT
    Q_PROPERTY(bool isOn READ isOn WRITE setOn NOTIFY isOnChanged)
    Q_PROPERTY(qreal knobPosition READ knobPosition WRITE setKnobPosition)

public:
    explicit ToggleSwitch(QWidget *parent = nullptr);

    bool isOn() const { return isChecked(); }
    // Sets the bound value; emits isOnChanged only when it changes.
    void setOn(bool on);

    QSize sizeHint() const override;

    qreal knobPosition() const { return m_knob; }
    void setKnobPosition(qreal position);

signals:
    void isOnChanged(bool on);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override;

private:
    qreal m_knob = 0; // 0 = off side, 1 = on side
    QPropertyAnimation *m_animation = nullptr;
};
