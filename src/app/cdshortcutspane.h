#pragma once

#include <QWidget>

#include "shellcontext.h"

// The "Raccourcis" tab: the overlay shortcut and its recorder.
class CDShortcutsPane final : public QWidget
{
    Q_OBJECT

public:
    explicit CDShortcutsPane(ShellContext &context, QWidget *parent = nullptr);
    // The recorder button placed in the row (null when none could be built).
    QWidget *recorder() const { return m_recorder; }

private:
    QWidget *m_recorder = nullptr;
};
