#include "cdsoundspane.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "settingsgroup.h"
#include "shellstyle.h"
#include "soundlibrary.h"
#include "soundmanager.h"
#include "styling/toggleswitch.h"

using namespace ShellStyle;

CDSoundsPane::CDSoundsPane(ShellContext &context, QWidget *parent)
    : QWidget(parent)
    , m_context(context)
{
    QVBoxLayout *column = paneColumn(this);
    auto *group = new SettingsGroup(QStringLiteral("Effets sonores"), this);
    SoundManager *sound = context.sound;

    m_enabled = new ToggleSwitch;
    m_enabled->setOn(sound ? sound->isEnabled() : true);
    group->addRow(QStringLiteral("Activer le son à la copie"), m_enabled);
    connect(m_enabled, &ToggleSwitch::isOnChanged, this, [this](bool on) {
        if (m_context.sound)
            m_context.sound->setEnabled(on);
    });

    const QString selected = sound ? sound->soundName() : QLatin1String(SoundManager::kDefaultName);
    m_picker = new QComboBox;
    m_picker->addItems(pickerNames(SoundLibrary::standardNames(), sound ? sound->library().userNames() : QStringList(),
                                   selected));
    m_picker->setCurrentText(selected);
    m_picker->setMinimumWidth(150);
    m_preview = button(QStringLiteral("Aperçu"), ButtonStyle::Bordered);
    QHBoxLayout *row = group->addRowLayout();
    row->addWidget(label(QStringLiteral("Son d’alerte"), TextStyle::Body));
    row->addStretch(1);
    row->addWidget(m_picker);
    row->addWidget(m_preview);
    connect(m_picker, &QComboBox::currentTextChanged, this, [this](const QString &name) {
        if (m_context.sound)
            m_context.sound->setSoundName(name);
    });
    connect(m_preview, &QPushButton::clicked, this, [this] {
        if (m_context.sound)
            m_context.sound->play(m_picker->currentText());
    });
    auto *block = new QVBoxLayout;
    block->setSpacing(8);
    block->addWidget(group);
    column->addLayout(block);

    m_tip = label(QStringLiteral("Astuce : tu peux ajouter tes propres sons dans ~/.local/share/sounds (format .wav ou .ogg)."),
                  TextStyle::Callout, true);
    m_tip->setWordWrap(true);
    block->addWidget(m_tip);
    column->addStretch(1);
}

QStringList CDSoundsPane::pickerNames(const QStringList &standard, const QStringList &user, const QString &selected)
{
    QStringList out = standard;
    for (const QString &name : user) {
        if (!out.contains(name))
            out.append(name);
    }
    if (!selected.isEmpty() && !out.contains(selected))
        out.append(selected);
    return out;
}
