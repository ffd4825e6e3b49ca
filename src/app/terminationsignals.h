#pragma once

#include <functional>

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into a call on the main thread, so the
// program leaves through its event loop like any other quit. The handlers
// only write the signal number to a pipe (async-signal-safe); a socket
// notifier reads it in the event loop and calls `onSignal`. One instance per
// process; its destruction puts the default actions back.
class TerminationSignals final : public QObject
{
    Q_OBJECT

public:
    using Handler = std::function<void(int signalNumber)>;

    explicit TerminationSignals(Handler onSignal, QObject *parent = nullptr);
    ~TerminationSignals() override;

    // False when the pipe or the handlers could not be set up (logged); the
    // signals then keep their default action.
    bool isActive() const { return m_notifier != nullptr; }

    // "SIGTERM", "SIGINT", "SIGHUP", else "signal N".
    static QString nameOf(int signalNumber);

private:
    void readPending();

    Handler m_onSignal;
    int m_fds[2] = {-1, -1};
    QSocketNotifier *m_notifier = nullptr;
};
