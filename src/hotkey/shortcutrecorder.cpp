#include "shortcutrecorder.h"

#include <QApplication>
#include <QKeyEvent>

#include "hotkey/hotkeymanager.h"
#include "hotkey/keydownevent.h"

ShortcutRecorder::ShortcutRecorder(HotKeyManager &manager, QWidget *parent) : QPushButton(parent), m_manager(manager)
{
    connect(this, &QPushButton::clicked, this, [this] {
        if (m_recording)
            stopRecording();
        else
            startRecording();
    });
    connect(&m_manager, &HotKeyManager::comboChanged, this, &ShortcutRecorder::updateTitle);
    updateTitle();
}

ShortcutRecorder::~ShortcutRecorder() { stopRecording(); }

void ShortcutRecorder::startRecording()
{
    if (m_recording)
        return;
    m_recording = true;
    if (!m_monitorInstalled) {
        qApp->installEventFilter(this);
        m_monitorInstalled = true;
    }
    updateTitle();
    emit recordingChanged(true);
}

void ShortcutRecorder::stopRecording()
{
    const bool wasRecording = m_recording;
    m_recording = false;
    if (m_monitorInstalled) {
        qApp->removeEventFilter(this);
        m_monitorInstalled = false;
    }
    if (wasRecording) {
        updateTitle();
        emit recordingChanged(false);
    }
}

bool ShortcutRecorder::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_recording)
        return QPushButton::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Accepted so that no application shortcut fires and the press
        // arrives as a key press below.
        event->accept();
        return true;
    case QEvent::KeyPress: {
        event->accept();
        const auto *keyEvent = static_cast<QKeyEvent *>(event);
        const std::optional<KeyDownEvent> press = KeyDownEvent::fromQKeyEvent(*keyEvent);
        if (press && press->hasRecordingModifier()) {
            m_manager.setComboFrom(*press);
            stopRecording();
        }
        return true;
    }
    default:
        return QPushButton::eventFilter(watched, event);
    }
}

void ShortcutRecorder::hideEvent(QHideEvent *event)
{
    stopRecording();
    QPushButton::hideEvent(event);
}

void ShortcutRecorder::updateTitle()
{
    if (m_recording)
        setText(QStringLiteral("Appuie sur les touches…"));
    else if (const auto &combo = m_manager.combo())
        setText(combo->display);
    else
        setText(QStringLiteral("Définir…"));
}
