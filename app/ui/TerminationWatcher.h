#pragma once

#include <QObject>

class QSocketNotifier;

// Turns the polite requests to end (SIGTERM, SIGINT, SIGHUP: the session's
// log-out, Ctrl+C, a closed terminal) into a signal on the GUI thread, so the
// program can end the way Exit does. The handlers only write a byte to a pipe;
// the previous handlers come back when the watcher goes.
class TerminationWatcher final : public QObject
{
    Q_OBJECT
public:
    explicit TerminationWatcher(QObject* parent = nullptr);
    ~TerminationWatcher() override;
    TerminationWatcher(const TerminationWatcher&) = delete;
    TerminationWatcher& operator=(const TerminationWatcher&) = delete;

    // False when the pipe could not be made; the signals then keep their
    // default action.
    bool active() const { return notifier_ != nullptr; }

signals:
    void terminationRequested(int signalNumber);

private:
    void drain();

    QSocketNotifier* notifier_ = nullptr;
};
