#pragma once

#include <QRect>
#include <QWidget>

class QScreen;

// The overlay's top-level window: frameless, translucent, always on top, able
// to take the keyboard focus, never shown in a taskbar. It only hosts the root
// view; everything it draws belongs to its content.
class OverlayPanel final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kHeight = 330;
    static constexpr int kInset = 2;

    explicit OverlayPanel(QWidget *parent = nullptr);

    // The panel's frame on `screen`: 2 px inside the left, right and bottom
    // edges of its available area, kHeight tall. With no screen, the same
    // rule applied to a 1280 x 800 area at the origin.
    static QRect frameFor(const QScreen *screen);
    static QRect frameForArea(const QRect &available);

    // Replaces the hosted content (owned by the panel from then on).
    void setContent(QWidget *content);
    QWidget *content() const { return m_content; }

signals:
    // The window lost the keyboard focus to another window.
    void deactivated();
    // The window was closed (by the window manager or the user), not just hidden.
    void closed();

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QWidget *m_content = nullptr;
};
