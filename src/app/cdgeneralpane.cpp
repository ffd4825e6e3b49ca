#include "cdgeneralpane.h"

#include <pwd.h>
#include <unistd.h>

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSysInfo>
#include <QVBoxLayout>

#include "clearhistorydialog.h"
#include "herocard.h"
#include "historyretention.h"
#include "platform/loginitem.h"
#include "settingsgroup.h"
#include "shellstyle.h"
#include "styling/toggleswitch.h"

using namespace ShellStyle;

CDGeneralPane::CDGeneralPane(ShellContext &context, QWidget *parent)
    : QWidget(parent)
    , m_context(context)
{
    QVBoxLayout *column = paneColumn(this);

    auto *hero = new HeroCard(this);
    auto *heroRow = new QHBoxLayout;
    heroRow->setSpacing(12);
    heroRow->addWidget(symbolTile(QStringLiteral("paperclip.circle.fill")));
    auto *texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->addWidget(label(QStringLiteral("Bonjour ") + greetingName(fullUserName(), QSysInfo::machineHostName())
                               + QStringLiteral(" 👋"),
                           TextStyle::Title3, false, true));
    texts->addWidget(label(QStringLiteral("Bramblet garde votre presse-papiers à portée de main."), TextStyle::Callout, true));
    heroRow->addLayout(texts);
    heroRow->addStretch(1);
    hero->content()->addLayout(heroRow);
    m_overlay = button(QStringLiteral("Afficher l’Overlay"), ButtonStyle::Bordered,
                       QStringLiteral("rectangle.bottomthird.inset.filled"));
    hero->content()->addSpacing(4);
    hero->content()->addWidget(m_overlay, 0, Qt::AlignLeft);
    connect(m_overlay, &QPushButton::clicked, this, [this] {
        if (m_context.toggleOverlay)
            m_context.toggleOverlay();
    });
    column->addWidget(hero);

    auto *startup = new SettingsGroup(QStringLiteral("Démarrage"), this);
    m_launchAtLogin = new ToggleSwitch;
    m_launchAtLogin->setOn(m_context.loginItem && m_context.loginItem->isEnabled());
    startup->addRow(QStringLiteral("Ouvrir au démarrage"), m_launchAtLogin);
    connect(m_launchAtLogin, &ToggleSwitch::isOnChanged, this, [this](bool on) {
        // The switch keeps the new value even when the change failed.
        const bool ok = m_context.loginItem && m_context.loginItem->setEnabled(on);
        if (!ok && m_context.beep)
            m_context.beep();
    });
    m_runInBackground = new ToggleSwitch;
    m_runInBackground->setOn(true);
    startup->addRow(QStringLiteral("Exécuter en arrière-plan"), m_runInBackground);
    column->addWidget(startup);

    auto *history = new SettingsGroup(QStringLiteral("Historique"), this);
    m_keepHistory = new QComboBox;
    m_keepHistory->addItems(HistoryRetention::choices());
    m_keepHistory->setCurrentText(m_context.retention ? m_context.retention->keep() : QStringLiteral("Toujours"));
    m_keepHistory->setMinimumWidth(140);
    history->addRow(QStringLiteral("Conserver l’historique"), m_keepHistory);
    connect(m_keepHistory, &QComboBox::currentTextChanged, this, [this](const QString &choice) {
        if (m_context.retention)
            m_context.retention->setKeep(choice);
    });
    m_clear = button(QStringLiteral("Effacer l’historique…"), ButtonStyle::DestructiveProminent);
    QHBoxLayout *clearRow = history->addRowLayout();
    clearRow->addWidget(m_clear);
    clearRow->addStretch(1);
    connect(m_clear, &QPushButton::clicked, this, [this] {
        if (!m_context.store)
            return;
        if (m_confirm)
            m_confirm->close();
        m_confirm = new ClearHistoryDialog(*m_context.store, this);
        m_confirm->setAttribute(Qt::WA_DeleteOnClose);
        m_confirm->open();
    });
    column->addWidget(history);
    column->addStretch(1);
}

QString CDGeneralPane::greetingName(const QString &fullName, const QString &hostName)
{
    if (!fullName.trimmed().isEmpty())
        return fullName.trimmed();
    if (!hostName.trimmed().isEmpty())
        return hostName.trimmed();
    return QStringLiteral("là");
}

QString CDGeneralPane::fullUserName()
{
    const passwd *entry = ::getpwuid(::getuid());
    if (!entry || !entry->pw_gecos)
        return QString();
    // The GECOS field holds the full name before the first comma.
    return QString::fromLocal8Bit(entry->pw_gecos).section(u',', 0, 0);
}
