#include "sidebarfooter.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "shellstyle.h"

using namespace ShellStyle;

SidebarFooter::SidebarFooter(QWidget *parent)
    : QWidget(parent)
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setStyleSheet(QStringLiteral("color: rgba(255,255,255,30);"));
    column->addWidget(line);
    auto *row = new QHBoxLayout;
    row->setContentsMargins(10, 6, 10, 10);
    row->addWidget(label(versionText(), TextStyle::Caption2, true));
    row->addStretch(1);
    row->addWidget(label(noticeLine(), TextStyle::Caption2, true));
    column->addLayout(row);
}
