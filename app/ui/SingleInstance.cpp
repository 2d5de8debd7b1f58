#include "app/ui/SingleInstance.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <cstdlib>

namespace velmora {

namespace {
constexpr int kConnectTimeoutMs = 1000;
constexpr char kActivate[] = "activate\n";
} // namespace

SingleInstance::SingleInstance(const QString& name, QObject* parent) : QObject(parent)
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    path_ = runtime && *runtime == '/' ? QString::fromLocal8Bit(runtime) + "/" + name : name;
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::pokeRunningInstance()
{
    QLocalSocket socket;
    socket.connectToServer(path_);
    if (!socket.waitForConnected(kConnectTimeoutMs))
        return false;
    socket.write(kActivate);
    socket.waitForBytesWritten(kConnectTimeoutMs);
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::claim()
{
    if (pokeRunningInstance())
        return false;
    // No socket options: with them the server binds elsewhere and renames the
    // socket into place, which would silently take the name from a running
    // instance. The runtime folder is private to the user anyway.
    server_ = new QLocalServer(this);
    if (!server_->listen(path_)) {
        if (server_->serverError() == QAbstractSocket::AddressInUseError && pokeRunningInstance())
            return false;
        // Nobody answers: a stale socket left by a crashed instance.
        QLocalServer::removeServer(path_);
        if (!server_->listen(path_))
            return true; // run anyway: a missing guard must not keep the program from starting
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = server_->nextPendingConnection()) {
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            emit activationRequested();
        }
    });
    return true;
}

void SingleInstance::release()
{
    if (!server_)
        return;
    server_->close(); // also removes the socket
    delete server_;
    server_ = nullptr;
}

} // namespace velmora
