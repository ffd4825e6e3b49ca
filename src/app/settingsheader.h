#pragma once

#include <QWidget>

#include "cdsettingstab.h"

class QLabel;

// The content column's header: the tab's symbol on a tile, "Bramblet" above
// the tab's title.
class SettingsHeader final : public QWidget
{
    Q_OBJECT

public:
    explicit SettingsHeader(CDSettingsTab tab, QWidget *parent = nullptr);
    void setTab(CDSettingsTab tab);
    QString titleText() const;

private:
    QLabel *m_tile = nullptr;
    QLabel *m_title = nullptr;
};
