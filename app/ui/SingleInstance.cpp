#include "app/ui/SingleInstance.h"

#include "platform/RuntimeFolder.h"

#include <QFile>
#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace velmora {

namespace {

constexpr char kActivate[] = "activate\n";
constexpr int kBacklog = 8;
// Connections taken per wake-up; more wait for the next one.
constexpr int kAcceptsPerWake = 16;

// The socket address of `path`; false when the path does not fit.
bool SocketAddress(const QString& path, sockaddr_un& address)
{
    const QByteArray bytes = QFile::encodeName(path);
    address = {};
    address.sun_family = AF_UNIX;
    if (bytes.isEmpty() || static_cast<size_t>(bytes.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, bytes.constData(), static_cast<size_t>(bytes.size()));
    return true;
}

int LocalSocket()
{
    return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
}

// Whether the process at the other end of a local connection runs as this user.
bool PeerIsThisUser(int fd)
{
    ucred peer{};
    socklen_t length = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 &&
           length == sizeof peer && peer.uid == ::geteuid();
}

} // namespace

SingleInstance::SingleInstance(const QString& name, QObject* parent) : QObject(parent)
{
    const std::string folder = PrivateRuntimeFolder();
    if (!folder.empty())
        path_ = QString::fromLocal8Bit(folder.c_str()) + "/" + name;
}

SingleInstance::~SingleInstance()
{
    release();
}

bool SingleInstance::pokeRunningInstance()
{
    sockaddr_un address;
    if (!SocketAddress(path_, address))
        return false;
    const int fd = LocalSocket();
    if (fd < 0)
        return false;
    // A local connect ends at once: taken, refused, no such socket, or (a
    // listener whose queue is full) would block, which still means one runs.
    const bool connected =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    const bool reached = connected || errno == EAGAIN;
    if (connected)
        (void)!::send(fd, kActivate, sizeof kActivate - 1, MSG_NOSIGNAL);
    ::close(fd);
    return reached;
}

int SingleInstance::listen()
{
    sockaddr_un address;
    if (!SocketAddress(path_, address))
        return ENAMETOOLONG;
    const int fd = LocalSocket();
    if (fd < 0)
        return errno;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, kBacklog) != 0) {
        const int error = errno;
        ::close(fd);
        return error;
    }
    listenFd_ = fd;
    notifier_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &SingleInstance::acceptPending);
    return 0;
}

bool SingleInstance::claim()
{
    if (path_.isEmpty())
        return true; // no private folder: run unguarded rather than not at all
    if (pokeRunningInstance())
        return false;
    // Bound in place, never renamed into place: a rename would silently take
    // the name from a running instance. The folder is private to the user
    // anyway, and every peer's user is checked besides.
    const int error = listen();
    if (error == EADDRINUSE) {
        if (pokeRunningInstance())
            return false;
        // Nobody answers: a stale socket left by a crashed instance.
        ::unlink(QFile::encodeName(path_).constData());
        listen();
    }
    return true; // a missing guard must not keep the program from starting
}

void SingleInstance::acceptPending()
{
    for (int i = 0; i < kAcceptsPerWake; ++i) {
        const int peer = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (peer < 0)
            return;
        // A connection is the request (what it says is not needed), but only
        // this user's own starts may bring the window forward.
        const bool own = PeerIsThisUser(peer);
        ::close(peer);
        if (own)
            emit activationRequested();
    }
}

void SingleInstance::release()
{
    if (listenFd_ < 0)
        return;
    delete notifier_;
    notifier_ = nullptr;
    ::close(listenFd_);
    listenFd_ = -1;
    ::unlink(QFile::encodeName(path_).constData());
}

} // namespace velmora
