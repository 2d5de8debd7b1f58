#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace velmora {

// Keeps the program to one instance per user session: the first instance
// listens on a local socket; a later start of the same user connects to it,
// which asks the first to bring its window forward, and then ends.
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

    QString path_;
    QLocalServer* server_ = nullptr;
};

} // namespace velmora
