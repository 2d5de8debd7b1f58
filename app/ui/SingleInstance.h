#pragma once

#include <QObject>
#include <QString>

class QSocketNotifier;

namespace velmora {

// Keeps the program to one instance per user session: the first instance
// listens on a local (Unix domain) socket; a later start of the same user
// connects to it, which asks the first to bring its window forward, and then
// ends. Plain sockets under a QSocketNotifier: Qt Network and what it pulls
// in (Kerberos, libproxy) stay unloaded.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    // `name` is the socket's name; it lives in PrivateRuntimeFolder(). Without
    // such a folder there is no guard, and every start runs.
    explicit SingleInstance(const QString& name, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is the first instance (and now listens); false
    // when another instance was reached and told to come forward.
    bool claim();

    // Stops listening (the socket goes away), so that a start from now on
    // starts a program of its own. Idempotent.
    void release();

    QString socketPath() const { return path_; }

signals:
    void activationRequested();

private:
    bool pokeRunningInstance();
    // Binds and listens on path_; the errno of a failure.
    int listen();
    void acceptPending();

    QString path_;
    int listenFd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace velmora
