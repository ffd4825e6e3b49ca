#pragma once

#include <optional>

#include <QWidget>

#include "cdsettingstab.h"
#include "shellcontext.h"

class QListWidget;
class QVBoxLayout;
class SettingsHeader;

// The settings window's content: the sidebar of tabs with its footer, and the
// selected tab's header and pane. Selecting a tab rebuilds its pane from the
// current settings. Fixed at 900 × 560.
class CDSettingsRootView final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kSidebarWidth = 230;
    static constexpr int LEFT_INSET = 14;

    explicit CDSettingsRootView(ShellContext &context, QWidget *parent = nullptr);

    CDSettingsTab tab() const { return m_tab; }
    void setTab(CDSettingsTab tab);
    QWidget *pane() const { return m_pane; }
    QListWidget *sidebar() const { return m_sidebar; }
    SettingsHeader *header() const { return m_header; }

    // The title-bar inset: frame height minus content height when the window
    // manager reports a frame, else 32; always within 28...44.
    static int titlebarInset(std::optional<int> frameHeight, std::optional<int> contentHeight);

private:
    void showPane();

    ShellContext &m_context;
    CDSettingsTab m_tab = CDSettingsTab::General;
    QListWidget *m_sidebar;
    SettingsHeader *m_header;
    QVBoxLayout *m_paneHolder;
    QWidget *m_pane = nullptr;
};
