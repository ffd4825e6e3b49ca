#include "sectionbox.h"

#include <QLabel>
#include <QVBoxLayout>

#include "roundedbox.h"
#include "shellstyle.h"

SectionBox::SectionBox(const QString &title, QWidget *parent)
    : QWidget(parent)
    , m_title(title)
    , m_box(new RoundedBox(RoundedBox::Look{12, 14, 12, QColor(), QColor(255, 255, 255, 38)}, this))
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(10);
    QLabel *heading = ShellStyle::label(title, ShellStyle::TextStyle::Caption, true);
    QFont f = heading->font();
    f.setWeight(QFont::DemiBold);
    heading->setFont(f);
    column->addWidget(heading);
    column->addWidget(m_box);
}

QVBoxLayout *SectionBox::content() const { return m_box->content(); }
