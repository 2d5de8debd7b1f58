#include "app/ui/SingleInstance.h"

#include "platform/RuntimeFolder.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <sys/socket.h>
#include <unistd.h>

namespace velmora {

namespace {
constexpr int kConnectTimeoutMs = 1000;
constexpr char kActivate[] = "activate\n";

// Whether the process at the other end of a local connection runs as this user.
bool PeerIsThisUser(qintptr descriptor)
{
    ucred peer{};
    socklen_t length = sizeof peer;
    return ::getsockopt(static_cast<int>(descriptor), SOL_SOCKET, SO_PEERCRED, &peer, &length) ==
               0 &&
           length == sizeof peer && peer.uid == ::geteuid();
}
} // namespace

SingleInstance::SingleInstance(const QString& name, QObject* parent) : QObject(parent)
{
    const std::string folder = PrivateRuntimeFolder();
    if (!folder.empty())
        path_ = QString::fromLocal8Bit(folder.c_str()) + "/" + name;
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
    if (path_.isEmpty())
        return true; // no private folder: run unguarded rather than not at all
    if (pokeRunningInstance())
        return false;
    // No socket options: with them the server binds elsewhere and renames the
    // socket into place, which would silently take the name from a running
    // instance. The folder is private to the user anyway, and every peer's
    // user is checked besides.
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
            if (!PeerIsThisUser(peer->socketDescriptor())) {
                peer->abort(); // only this user's own starts may bring the window forward
                continue;
            }
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
