#pragma once

#include <QWidget>

// Under the settings sidebar: a divider, then the version and the notice line.
class SidebarFooter final : public QWidget
{
    Q_OBJECT
public:
    explicit SidebarFooter(QWidget *parent = nullptr);
};
