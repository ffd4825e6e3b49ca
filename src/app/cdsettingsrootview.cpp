#include "cdsettingsrootview.h"

#include <algorithm>

#include <QFrame>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPainter>
#include <QVBoxLayout>

#include "cdgeneralpane.h"
#include "cdprivacypane.h"
#include "cdshortcutspane.h"
#include "cdsoundspane.h"
#include "settingsheader.h"
#include "shellstyle.h"
#include "sidebarfooter.h"
#include "styling/symbolicons.h"

namespace {

QFrame *divider(QFrame::Shape shape, QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(shape);
    line->setStyleSheet(QStringLiteral("color: rgba(255,255,255,30);"));
    return line;
}

// The window background: a diagonal gradient #1e1e1e → #2a2a2a at 95 %.
class GradientBackground final : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        QLinearGradient g(rect().topLeft(), rect().bottomRight());
        QColor a(0x1e, 0x1e, 0x1e);
        QColor b(0x2a, 0x2a, 0x2a);
        a.setAlphaF(0.95f);
        b.setAlphaF(0.95f);
        g.setColorAt(0, a);
        g.setColorAt(1, b);
        p.fillRect(rect(), QColor(0x1e, 0x1e, 0x1e));
        p.fillRect(rect(), g);
    }
};

} // namespace

CDSettingsRootView::CDSettingsRootView(ShellContext &context, QWidget *parent)
    : QWidget(parent)
    , m_context(context)
{
    setFixedSize(900, 560);
    ShellStyle::applyDarkPalette(this);
    auto *background = new GradientBackground(this);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(background);

    auto *row = new QHBoxLayout(background);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    const int inset = titlebarInset(std::nullopt, std::nullopt);
    auto *sidebarColumn = new QWidget(background);
    sidebarColumn->setFixedWidth(kSidebarWidth);
    sidebarColumn->setAutoFillBackground(true);
    QPalette sp = sidebarColumn->palette();
    sp.setColor(QPalette::Window, QColor(255, 255, 255, 8));
    sidebarColumn->setPalette(sp);
    auto *sideLayout = new QVBoxLayout(sidebarColumn);
    // The window manager draws the title bar outside our content, so only
    // the part of the inset beyond its usual height moves the list.
    sideLayout->setContentsMargins(8, std::max(0, inset - 40) + 6 + 6, 8, 0);
    m_sidebar = new QListWidget(sidebarColumn);
    m_sidebar->setFrameShape(QFrame::NoFrame);
    m_sidebar->setIconSize(QSize(18, 18));
    m_sidebar->setFont(ShellStyle::font(ShellStyle::TextStyle::Body));
    m_sidebar->setStyleSheet(QStringLiteral(
        "QListWidget { background: transparent; outline: 0; }"
        "QListWidget::item { color: rgb(235,235,240); padding: 7px 8px; border-radius: 6px; margin: 1px 0; }"
        "QListWidget::item:selected { background: rgba(10,132,255,200); color: white; }"
        "QListWidget::item:hover:!selected { background: rgba(255,255,255,18); }"));
    for (CDSettingsTab t : CDSettingsTabs::all()) {
        auto *item = new QListWidgetItem(SymbolIcons::icon(CDSettingsTabs::symbol(t), ShellStyle::kPrimaryText),
                                         CDSettingsTabs::title(t), m_sidebar);
        item->setData(Qt::UserRole, int(t));
    }
    sideLayout->addWidget(m_sidebar, 1);
    sideLayout->addWidget(new SidebarFooter(sidebarColumn));
    row->addWidget(sidebarColumn);
    row->addWidget(divider(QFrame::VLine, background));

    auto *content = new QWidget(background);
    auto *contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    contentLayout->setSpacing(0);
    contentLayout->addSpacing(std::max(0, inset - 28));
    m_header = new SettingsHeader(m_tab, content);
    contentLayout->addWidget(m_header);
    contentLayout->addWidget(divider(QFrame::HLine, content));
    m_paneHolder = new QVBoxLayout;
    m_paneHolder->setContentsMargins(0, 0, 0, 0);
    contentLayout->addLayout(m_paneHolder, 1);
    row->addWidget(content, 1);

    connect(m_sidebar, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && row < CDSettingsTabs::all().size())
            setTab(CDSettingsTabs::all().at(row));
    });
    m_sidebar->setCurrentRow(0);
    if (!m_pane)
        showPane();
}

void CDSettingsRootView::setTab(CDSettingsTab tab)
{
    const int index = int(CDSettingsTabs::all().indexOf(tab));
    if (m_sidebar->currentRow() != index)
        m_sidebar->setCurrentRow(index); // re-enters through currentRowChanged
    if (m_tab == tab && m_pane)
        return;
    m_tab = tab;
    m_header->setTab(tab);
    showPane();
}

void CDSettingsRootView::showPane()
{
    if (m_pane) {
        m_pane->hide();
        m_pane->deleteLater();
    }
    switch (m_tab) {
    case CDSettingsTab::General:
        m_pane = new CDGeneralPane(m_context);
        break;
    case CDSettingsTab::Privacy:
        m_pane = new CDPrivacyPane(m_context, m_context.isTrusted && m_context.isTrusted());
        break;
    case CDSettingsTab::Shortcuts:
        m_pane = new CDShortcutsPane(m_context);
        break;
    case CDSettingsTab::Sounds:
        m_pane = new CDSoundsPane(m_context);
        break;
    }
    m_paneHolder->addWidget(m_pane);
}

int CDSettingsRootView::titlebarInset(std::optional<int> frameHeight, std::optional<int> contentHeight)
{
    int inset = 32;
    if (frameHeight && contentHeight)
        inset = *frameHeight - *contentHeight;
    return std::clamp(inset, 28, 44);
}
