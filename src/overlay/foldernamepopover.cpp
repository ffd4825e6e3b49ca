#include "foldernamepopover.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

FolderNamePopover::FolderNamePopover(const QString &title, const QString &confirmText, int fieldWidth,
                                     QWidget *parent)
    : QFrame(parent, Qt::Popup)
    , m_title(new QLabel(title, this))
    , m_field(new QLineEdit(this))
    , m_cancel(new QPushButton(QStringLiteral("Annuler"), this))
    , m_confirm(new QPushButton(confirmText, this))
{
    setObjectName(QStringLiteral("FolderNamePopover"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameShape(QFrame::StyledPanel);
    setStyleSheet(QStringLiteral(
        "QFrame#FolderNamePopover { background: #2c2c30; border: 1px solid rgba(255,255,255,40); border-radius: 10px; }"
        "QLabel { color: white; }"
        "QLineEdit { background: #1c1c1f; color: white; border: 1px solid rgba(255,255,255,60); border-radius: 5px; padding: 3px 6px; }"
        "QPushButton { background: rgba(255,255,255,30); color: white; border-radius: 5px; padding: 4px 14px; }"
        "QPushButton:default { background: #0A84FF; }"));
    QFont titleFont = m_title->font();
    titleFont.setBold(true);
    titleFont.setPixelSize(13);
    m_title->setFont(titleFont);
    m_title->setAlignment(Qt::AlignCenter);
    m_field->setPlaceholderText(QStringLiteral("Nom..."));
    m_field->setFixedWidth(fieldWidth);
    m_confirm->setDefault(true);
    m_confirm->setAutoDefault(true);
    m_cancel->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_confirm);
    buttons->addStretch();
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(16, 16, 16, 16);
    column->setSpacing(12);
    column->addWidget(m_title, 0, Qt::AlignHCenter);
    column->addWidget(m_field, 0, Qt::AlignHCenter);
    column->addLayout(buttons);

    connect(m_field, &QLineEdit::returnPressed, this, &FolderNamePopover::confirm);
    connect(m_confirm, &QPushButton::clicked, this, &FolderNamePopover::confirm);
    connect(m_cancel, &QPushButton::clicked, this, &QWidget::close);
}

QString FolderNamePopover::trimmedName(const QString &name)
{
    return name.trimmed();
}

void FolderNamePopover::setText(const QString &text)
{
    m_field->setText(text);
}

QString FolderNamePopover::text() const
{
    return m_field->text();
}

void FolderNamePopover::confirm()
{
    const QString name = trimmedName(m_field->text());
    if (name.isEmpty())
        return;
    m_confirmed = true;
    emit confirmed(name);
    close();
}

void FolderNamePopover::popUpAt(const QPoint &anchor)
{
    adjustSize();
    QPoint pos = anchor;
    if (const QScreen *screen = QGuiApplication::screenAt(anchor)) {
        const QRect area = screen->availableGeometry();
        pos.setX(std::clamp(pos.x(), area.left(), std::max(area.left(), area.right() - width())));
        pos.setY(std::clamp(pos.y(), area.top(), std::max(area.top(), area.bottom() - height())));
    }
    move(pos);
    show();
    m_field->setFocus(Qt::PopupFocusReason);
}

void FolderNamePopover::hideEvent(QHideEvent *event)
{
    QFrame::hideEvent(event);
    if (!m_confirmed)
        emit cancelled();
}
