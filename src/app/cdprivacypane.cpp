#include "cdprivacypane.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "accessibilityrecheck.h"
#include "accessibilitysettingsopener.h"
#include "bannercard.h"
#include "shellstyle.h"
#include "styling/symbolicons.h"

using namespace ShellStyle;

namespace {
const QString kInstruction = QStringLiteral(
    "Ouvrez la section **Accessibilité** grâce au bouton ci-dessous, puis autorisez **Bramblet**. Si l’application "
    "n’apparaît pas dans la liste, ajoutez-la manuellement avec le bouton **+**, puis cochez-la.");
}

CDPrivacyPane::CDPrivacyPane(ShellContext &context, bool axTrusted, QWidget *parent)
    : QWidget(parent)
    , m_context(context)
    , m_axTrusted(axTrusted)
    , m_recheck(new AccessibilityRecheck(*context.clock, context.isTrusted, this))
    , m_column(paneColumn(this))
{
    connect(m_recheck, &AccessibilityRecheck::trusted, this, [this] { setTrusted(true); });
    connect(m_recheck, &AccessibilityRecheck::checkingChanged, this, [this] { rebuild(); });
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive)
            applicationActivated();
    });
    m_column->addStretch(1);
    rebuild();
}

bool CDPrivacyPane::isChecking() const { return m_recheck->isChecking(); }

void CDPrivacyPane::applicationActivated()
{
    if (!m_axTrusted && m_context.isTrusted && m_context.isTrusted())
        setTrusted(true);
}

void CDPrivacyPane::setTrusted(bool trusted)
{
    if (m_axTrusted == trusted)
        return;
    m_axTrusted = trusted;
    rebuild();
}

void CDPrivacyPane::rebuild()
{
    if (m_banner) {
        m_banner->hide();
        m_banner->deleteLater();
    }
    m_open = nullptr;
    m_recheckButton = nullptr;
    m_progress = nullptr;

    const QColor tone = m_axTrusted ? kGreen : kOrange;
    QColor tint = tone;
    tint.setAlphaF(m_axTrusted ? 0.25f : 0.20f);
    QColor border = tone;
    border.setAlphaF(0.35f);
    auto *banner = new BannerCard(tint, border, this);
    auto *row = new QHBoxLayout;
    row->setSpacing(12);
    row->setAlignment(Qt::AlignTop);
    auto *icon = new QLabel;
    icon->setPixmap(SymbolIcons::pixmap(
        m_axTrusted ? QStringLiteral("checkmark.shield.fill") : QStringLiteral("exclamationmark.triangle.fill"), 24, tone,
        devicePixelRatioF()));
    row->addWidget(icon, 0, Qt::AlignTop);
    auto *texts = new QVBoxLayout;
    texts->setSpacing(4);
    if (m_axTrusted) {
        texts->addWidget(label(QStringLiteral("Autorisation accordée"), TextStyle::Title3, false, true));
        QLabel *body = label(QStringLiteral("Bramblet est autorisé à utiliser l’accessibilité pour coller "
                                            "automatiquement dans l’application active."),
                             TextStyle::Callout, true);
        body->setWordWrap(true);
        texts->addWidget(body);
    } else {
        texts->addWidget(label(QStringLiteral("Autorisation requise"), TextStyle::Title3, false, true));
        QLabel *body = label(boldMarkup(kInstruction), TextStyle::Callout, true);
        body->setTextFormat(Qt::RichText);
        body->setWordWrap(true);
        texts->addWidget(body);
        texts->addSpacing(4);
        auto *buttons = new QHBoxLayout;
        buttons->setSpacing(10);
        m_open = button(QStringLiteral("Ouvrir Réglages Système → Accessibilité"), ButtonStyle::Prominent);
        connect(m_open, &QPushButton::clicked, this, [this] {
            if (m_context.accessibilityOpener)
                m_context.accessibilityOpener->open(AccessibilitySettingsOpener::planFor(m_context.currentDesktop));
        });
        const bool checking = m_recheck->isChecking();
        m_recheckButton = button(checking ? QStringLiteral("Re-vérification…") : QStringLiteral("Re-vérifier"),
                                 ButtonStyle::Bordered);
        m_recheckButton->setEnabled(!checking);
        connect(m_recheckButton, &QPushButton::clicked, m_recheck, &AccessibilityRecheck::start);
        buttons->addWidget(m_open);
        buttons->addWidget(m_recheckButton);
        buttons->addStretch(1);
        texts->addLayout(buttons);
        if (checking) {
            m_progress = new QProgressBar;
            m_progress->setRange(0, 0);
            m_progress->setTextVisible(false);
            m_progress->setFixedSize(120, 6);
            texts->addSpacing(2);
            texts->addWidget(m_progress);
        }
    }
    row->addLayout(texts, 1);
    banner->content()->addLayout(row);
    m_column->insertWidget(0, banner);
    m_banner = banner;
}
