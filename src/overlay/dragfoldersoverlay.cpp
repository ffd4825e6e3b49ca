#include "dragfoldersoverlay.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include "overlay/folderdroptarget.h"
#include "overlay/folderpalette.h"
#include "platform/logger.h"

namespace {
constexpr int kMinColumnWidth = 150;
constexpr int kColumnSpacing = 20;
} // namespace

DragFoldersOverlay::DragFoldersOverlay(QWidget *parent)
    : QWidget(parent)
    , m_grid(new QGridLayout)
{
    setObjectName(QStringLiteral("DragFoldersOverlay"));
    auto *title = new QLabel(QStringLiteral("Déplacer vers…"), this);
    QFont titleFont = title->font();
    titleFont.setPixelSize(28);
    titleFont.setBold(true);
    title->setFont(titleFont);
    title->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    auto *hint = new QLabel(QStringLiteral("ESC pour annuler"), this);
    QFont hintFont = hint->font();
    hintFont.setPixelSize(14);
    hint->setFont(hintFont);
    hint->setStyleSheet(QStringLiteral("color: rgba(255,255,255,153); background: transparent;"));

    m_grid->setHorizontalSpacing(kColumnSpacing);
    m_grid->setVerticalSpacing(20);
    auto *column = new QVBoxLayout(this);
    // The panel is short: the column keeps a smaller frame than a full
    // window would, so one row of targets fits with the title and hint.
    column->setContentsMargins(40, 12, 40, 10);
    column->setSpacing(10);
    column->addWidget(title, 0, Qt::AlignHCenter);
    // The grid keeps its natural width, centred, however few targets it holds.
    auto *gridRow = new QHBoxLayout;
    gridRow->addStretch(1);
    gridRow->addLayout(m_grid);
    gridRow->addStretch(1);
    column->addLayout(gridRow);
    column->addWidget(hint, 0, Qt::AlignHCenter);
    column->addStretch(1);
    hide();
}

DragFoldersOverlay::~DragFoldersOverlay()
{
    if (m_escapeWatch)
        qApp->removeEventFilter(this);
}

void DragFoldersOverlay::setFolders(const QList<ClipboardFolder> &folders)
{
    for (FolderDropTarget *target : std::as_const(m_targets))
        delete target;
    m_targets.clear();
    m_targetIds.clear();
    m_folderCount = int(folders.size());

    const auto add = [this](FolderDropTarget *target, const std::optional<QUuid> &id) {
        connect(target, &FolderDropTarget::hovered, this, [this, target, id] {
            Log::debug(QStringLiteral("🎯 OVERLAY: Hover on '%1'").arg(target->name()));
            emit hoverRequested(id);
        });
        connect(target, &FolderDropTarget::tapped, this, [this, target, id] {
            Log::info(QStringLiteral("🎯 OVERLAY: Drop on '%1'").arg(target->name()));
            emit dropRequested(id);
        });
        m_targets.append(target);
        m_targetIds.append(id);
    };
    add(new FolderDropTarget(QStringLiteral("tray.fill"), QStringLiteral("Tous"), FolderPalette::gray(), this),
        std::nullopt);
    for (int k = 0; k < folders.size(); ++k)
        add(new FolderDropTarget(QStringLiteral("folder.fill"), folders[k].name, FolderPalette::color(k), this),
            folders[k].id);

    const int available = std::max(kMinColumnWidth, width() - 80);
    const int columns = std::max(1, (available + kColumnSpacing) / (kMinColumnWidth + kColumnSpacing));
    for (int i = 0; i < m_targets.size(); ++i)
        m_grid->addWidget(m_targets[i], i / columns, i % columns, Qt::AlignCenter);
    setHoveredFolderId(std::nullopt);
}

void DragFoldersOverlay::setHoveredFolderId(const std::optional<QUuid> &id)
{
    for (int i = 0; i < m_targets.size(); ++i)
        m_targets[i]->setHovered(m_targetIds[i] == id);
}

void DragFoldersOverlay::appear()
{
    if (parentWidget())
        setGeometry(parentWidget()->rect());
    raise();
    show();
    Log::info(QStringLiteral("🎯 OVERLAY: Appeared with %1 folders").arg(m_folderCount));
    if (!m_escapeWatch) {
        // Installed after the panel's key filter, so it sees Escape first.
        qApp->installEventFilter(this);
        m_escapeWatch = true;
    }
}

void DragFoldersOverlay::disappear()
{
    if (!isVisible() && !m_escapeWatch)
        return;
    if (m_escapeWatch) {
        qApp->removeEventFilter(this);
        m_escapeWatch = false;
    }
    hide();
    Log::info(QStringLiteral("🎯 OVERLAY: Disappeared"));
}

void DragFoldersOverlay::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0, 0, 0, 179));
}

void DragFoldersOverlay::mousePressEvent(QMouseEvent *event)
{
    event->accept();
}

void DragFoldersOverlay::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    Log::info(QStringLiteral("🎯 OVERLAY: Tap on background, cancelling"));
    emit cancelRequested();
}

bool DragFoldersOverlay::eventFilter(QObject *, QEvent *event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
        return false;
    if (static_cast<QKeyEvent *>(event)->key() != Qt::Key_Escape)
        return false;
    event->accept();
    // Swallowing the press at its first stop means it is seen only once.
    if (event->type() == QEvent::KeyPress) {
        Log::info(QStringLiteral("🎯 OVERLAY: ESC pressed, cancelling"));
        emit cancelRequested();
    }
    return true;
}
