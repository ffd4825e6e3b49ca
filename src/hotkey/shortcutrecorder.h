#pragma once

#include <QPushButton>

class HotKeyManager;

// The shortcut button shared by the menu-bar panel and the settings pane.
// Its title is "Appuie sur les touches…" while recording, otherwise the
// manager's current display, or "Définir…" when there is no shortcut; it
// follows the manager's changes. A click starts recording, or stops it when
// already recording. While recording, every key press sent to this
// application's windows is consumed: presses without Shift, Ctrl, Alt or
// Super are ignored (there is no cancel key); the first press with one of
// them is handed to the manager and ends recording. Hiding or destroying the
// button ends recording. Main thread only.
class ShortcutRecorder final : public QPushButton
{
    Q_OBJECT
public:
    explicit ShortcutRecorder(HotKeyManager &manager, QWidget *parent = nullptr);
    ~ShortcutRecorder() override;

    bool isRecording() const { return m_recording; }
    void startRecording();
    void stopRecording();

signals:
    void recordingChanged(bool recording);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void updateTitle();

    HotKeyManager &m_manager;
    bool m_recording = false;
    bool m_monitorInstalled = false;
};
