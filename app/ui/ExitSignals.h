#pragma once

#include <QObject>

class QSocketNotifier;

namespace velmora {

// SIGTERM and SIGINT (logout, shutdown, kill, Ctrl+C) end the program the way
// Exit does: the handler only writes a byte to a pipe, and the GUI thread,
// woken by it, emits exitRequested(). Should the GUI thread not get there, a
// watchdog alarm ends the process two seconds after the first signal, and a
// second signal ends it at once.
class ExitSignals final : public QObject
{
    Q_OBJECT
public:
    explicit ExitSignals(QObject* parent = nullptr);
    ~ExitSignals() override;
    ExitSignals(const ExitSignals&) = delete;
    ExitSignals& operator=(const ExitSignals&) = delete;

    // Installs the handlers; false (handlers untouched) when the pipe cannot be made.
    bool install();

signals:
    void exitRequested();

private:
    void onReadable();

    QSocketNotifier* notifier_ = nullptr;
};

} // namespace velmora
