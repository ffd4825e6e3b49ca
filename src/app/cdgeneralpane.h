#pragma once

#include <QPointer>
#include <QWidget>

#include "shellcontext.h"

#include "clearhistorydialog.h"
class ToggleSwitch;
class QComboBox;
class QLabel;
class QPushButton;

// The "Général" tab: greeting card with the overlay button, the start-up
// switches, the history-retention picker and the clear-history button.
class CDGeneralPane final : public QWidget
{
    Q_OBJECT

public:
    explicit CDGeneralPane(ShellContext &context, QWidget *parent = nullptr);

    // The greeting name: the full user name when not blank, else the host
    // name, else "là".
    static QString greetingName(const QString &fullName, const QString &hostName);
    // This user's full name from the password database (may be empty).
    static QString fullUserName();

    ToggleSwitch *launchAtLoginSwitch() const { return m_launchAtLogin; }
    ToggleSwitch *runInBackgroundSwitch() const { return m_runInBackground; }
    QComboBox *keepHistoryPicker() const { return m_keepHistory; }
    QPushButton *clearButton() const { return m_clear; }
    QPushButton *overlayButton() const { return m_overlay; }
    // The open confirmation dialog, if any.
    ClearHistoryDialog *confirmDialog() const { return m_confirm; }

private:
    ShellContext &m_context;
    ToggleSwitch *m_launchAtLogin;
    ToggleSwitch *m_runInBackground;
    QComboBox *m_keepHistory;
    QPushButton *m_clear;
    QPushButton *m_overlay;
    QPointer<ClearHistoryDialog> m_confirm;
};
