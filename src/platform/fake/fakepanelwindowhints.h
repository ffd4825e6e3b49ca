#pragma once

#include <QList>
#include <QPointer>
#include <QWindow>

#include "platform/panelwindowhints.h"

// Records the windows the hints were applied to.
class FakePanelWindowHints final : public PanelWindowHints
{
public:
    void apply(QWindow *window) override { applied.append(window); }

    QList<QPointer<QWindow>> applied;
};
