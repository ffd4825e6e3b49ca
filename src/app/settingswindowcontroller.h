#pragma once

#include <QObject>
#include <QPointer>

#include "shellcontext.h"

class CDSettingsRootView;
class KeyboardCommands;
class QWidget;

// The one settings window: built on the first show(), kept (hidden) when
// closed, brought to the front by later calls. Main thread only.
class SettingsWindowController final : public QObject
{
    Q_OBJECT

public:
    static constexpr int SIDEBAR_WIDTH = 230;

    // `commands` (may be null) fills the window's menu bar.
    SettingsWindowController(ShellContext &context, KeyboardCommands *commands, QObject *parent = nullptr);
    ~SettingsWindowController() override;

    // Opens the window or raises and activates it.
    void show();
    QWidget *window() const { return m_window; }
    CDSettingsRootView *rootView() const { return m_root; }

private:
    ShellContext &m_context;
    KeyboardCommands *m_commands;
    QPointer<QWidget> m_window;
    CDSettingsRootView *m_root = nullptr;
};
