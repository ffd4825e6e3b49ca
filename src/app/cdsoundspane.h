#pragma once

#include <QWidget>

#include "shellcontext.h"

class ToggleSwitch;
class QComboBox;
class QPushButton;
class QLabel;

// The "Sons" tab: the copy-sound switch, the sound picker with its preview
// and where the user's own sounds go. Starts from the stored settings.
class CDSoundsPane final : public QWidget
{
    Q_OBJECT

public:
    explicit CDSoundsPane(ShellContext &context, QWidget *parent = nullptr);

    // The fourteen shipped names, then the user's own files, then `selected`
    // when it is none of those (so the picker always shows what is stored).
    static QStringList pickerNames(const QStringList &standard, const QStringList &user, const QString &selected);

    ToggleSwitch *enabledSwitch() const { return m_enabled; }
    QComboBox *picker() const { return m_picker; }
    QPushButton *previewButton() const { return m_preview; }
    QLabel *tip() const { return m_tip; }

private:
    ShellContext &m_context;
    ToggleSwitch *m_enabled;
    QComboBox *m_picker;
    QPushButton *m_preview;
    QLabel *m_tip;
};
