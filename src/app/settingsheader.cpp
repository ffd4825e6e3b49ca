#include "settingsheader.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "shellstyle.h"

using namespace ShellStyle;

SettingsHeader::SettingsHeader(CDSettingsTab tab, QWidget *parent)
    : QWidget(parent)
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(32, 12, 32, 10);
    row->setSpacing(12);
    m_tile = new QLabel(this);
    m_tile->setFixedSize(44, 44);
    row->addWidget(m_tile, 0, Qt::AlignVCenter);
    auto *texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->addWidget(label(QStringLiteral("Bramblet"), TextStyle::Caption, true));
    m_title = new QLabel(this);
    QFont big;
    big.setPixelSize(26);
    big.setWeight(QFont::DemiBold);
    m_title->setFont(big);
    texts->addWidget(m_title);
    row->addLayout(texts);
    row->addStretch(1);
    setTab(tab);
}

void SettingsHeader::setTab(CDSettingsTab tab)
{
    QLabel *tile = symbolTile(CDSettingsTabs::symbol(tab));
    m_tile->setPixmap(tile->pixmap());
    delete tile;
    m_title->setText(CDSettingsTabs::title(tab));
}

QString SettingsHeader::titleText() const { return m_title->text(); }
