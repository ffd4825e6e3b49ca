#pragma once

#include <functional>
#include <optional>

#include <QList>
#include <QUuid>
#include <QWidget>

#include "model/clipboardfolder.h"

class FolderDropTarget;
class QGridLayout;

// The dimmed full-panel layer that opens after a long press: "Déplacer
// vers…", one target for "Tous" (no folder) and one per folder in palette
// colours, and the hint "ESC pour annuler". Choosing a target reports its
// folder (none for "Tous"); Escape or a click on the dimmed background
// cancels. While shown it watches Escape application-wide ahead of the
// panel's own keys. Main thread only.
class DragFoldersOverlay final : public QWidget
{
    Q_OBJECT

public:
    explicit DragFoldersOverlay(QWidget *parent = nullptr);
    ~DragFoldersOverlay() override;

    // Rebuilds the targets for `folders` (the store's list at opening time).
    void setFolders(const QList<ClipboardFolder> &folders);
    // The hovered target: none = "Tous" (drawn hovered while no folder is).
    void setHoveredFolderId(const std::optional<QUuid> &id);

    // Shows / hides the layer with its key watch and log lines.
    void appear();
    void disappear();
    bool isEscapeWatchInstalled() const { return m_escapeWatch; }

    QList<FolderDropTarget *> targets() const { return m_targets; }

signals:
    void hoverRequested(const std::optional<QUuid> &folderId);
    void dropRequested(const std::optional<QUuid> &folderId);
    void cancelRequested();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QGridLayout *m_grid;
    QList<FolderDropTarget *> m_targets;
    QList<std::optional<QUuid>> m_targetIds;
    int m_folderCount = 0;
    bool m_escapeWatch = false;
};
