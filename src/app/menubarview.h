#pragma once

#include <QWidget>

#include "shellcontext.h"

class QLabel;
class QPushButton;
class QVBoxLayout;
class ToggleSwitch;
class SectionBox;

// The control centre that opens from the tray icon (380 × 520, frameless
// popup): name, shortcut and its recorder, start at login, the input
// permission, the overlay and clear buttons, settings and quit. Each opening
// starts from fresh state (rebuildForOpen()). Main thread only.
class MenuBarView final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kWidth = 380;
    static constexpr int kHeight = 520;

    explicit MenuBarView(ShellContext &context, QWidget *parent = nullptr);

    // Rebuilds the sections from the current state, as on every opening.
    void rebuildForOpen();
    // Shows the panel next to `anchor` (the tray icon's rectangle in screen
    // coordinates; empty: near the pointer), kept on that screen.
    void popUp(const QRect &anchor);
    // Where the panel goes for an anchor on a screen's available area.
    static QPoint placement(const QRect &anchor, const QRect &available, const QSize &size);

    bool recheckAfterReturn() const { return m_recheckAfterReturn; }
    QWidget *recorder() const { return m_recorder; }
    ToggleSwitch *launchAtLoginSwitch() const { return m_launchAtLogin; }
    QPushButton *openSettingsButton() const { return m_openAccessibility; }
    QPushButton *overlayButton() const { return m_overlay; }
    QPushButton *clearButton() const { return m_clear; }
    QPushButton *settingsButton() const { return m_settings; }
    QPushButton *quitButton() const { return m_quit; }
    // "Autorisation accordée" or "Autorisation requise".
    QString accessibilityStatus() const;

    // The application became active again.
    void applicationActivated();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void build();
    void fillAccessibility();

    ShellContext &m_context;
    QWidget *m_content = nullptr;
    SectionBox *m_accessibility = nullptr;
    QWidget *m_accessibilityBody = nullptr;
    QLabel *m_statusLabel = nullptr;
    QWidget *m_recorder = nullptr;
    ToggleSwitch *m_launchAtLogin = nullptr;
    QPushButton *m_openAccessibility = nullptr;
    QPushButton *m_overlay = nullptr;
    QPushButton *m_clear = nullptr;
    QPushButton *m_settings = nullptr;
    QPushButton *m_quit = nullptr;
    bool m_recheckAfterReturn = false;
};
