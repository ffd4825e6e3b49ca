#pragma once

#include <QWidget>

#include "shellcontext.h"

class AccessibilityRecheck;
class QLabel;
class QProgressBar;
class QPushButton;
class QVBoxLayout;

// The "Confidentialité" tab: whether this program may synthesise the paste
// keys, a way to the desktop's settings, and a re-check. The green state
// never turns back to orange by itself.
class CDPrivacyPane final : public QWidget
{
    Q_OBJECT

public:
    CDPrivacyPane(ShellContext &context, bool axTrusted, QWidget *parent = nullptr);

    bool axTrusted() const { return m_axTrusted; }
    bool isChecking() const;
    AccessibilityRecheck *recheck() const { return m_recheck; }
    // Null in the granted state.
    QPushButton *openButton() const { return m_open; }
    QPushButton *recheckButton() const { return m_recheckButton; }
    QProgressBar *progress() const { return m_progress; }

    // The application became active again: ask once more while refused.
    void applicationActivated();

private:
    void setTrusted(bool trusted);
    void rebuild();

    ShellContext &m_context;
    bool m_axTrusted;
    AccessibilityRecheck *m_recheck;
    QWidget *m_banner = nullptr;
    QVBoxLayout *m_column;
    QPushButton *m_open = nullptr;
    QPushButton *m_recheckButton = nullptr;
    QProgressBar *m_progress = nullptr;
};
