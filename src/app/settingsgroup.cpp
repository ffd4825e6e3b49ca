#include "settingsgroup.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "roundedbox.h"
#include "shellstyle.h"

SettingsGroup::SettingsGroup(const QString &title, QWidget *parent)
    : QWidget(parent)
    , m_box(new RoundedBox(RoundedBox::Look{10, 12, 10, QColor(), QColor(255, 255, 255, 30)}, this))
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(8);
    column->addWidget(ShellStyle::label(title, ShellStyle::TextStyle::Headline));
    column->addWidget(m_box);
}

QWidget *SettingsGroup::addRow(const QString &text, QWidget *control)
{
    QHBoxLayout *row = addRowLayout();
    row->addWidget(ShellStyle::label(text, ShellStyle::TextStyle::Body));
    row->addStretch(1);
    row->addWidget(control);
    return control;
}

QHBoxLayout *SettingsGroup::addRowLayout()
{
    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 16, 0);
    row->setSpacing(12);
    m_box->content()->addLayout(row);
    return row;
}

QVBoxLayout *SettingsGroup::content() const { return m_box->content(); }
