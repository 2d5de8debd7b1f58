#include "triggering/core/TriggerWorker.h"

#include "platform/Log.h"
#include "triggering/core/SocketOps.h"
#include "triggering/core/TriggerTarget.h"

#include <algorithm>
#include <string>
#include <thread>

namespace {

// What one worker sends to, read once from its entry copy.
struct Trigger
{
    std::string target; // dotted IPv4 text, or "" when there is no usable target
    long long port = 0;
    bool tcp = false;
    bool udp = false;
};

// The TCP step: connect when no connection is held, then an empty send on it.
// False when it failed; the socket is then closed and the cycle ends here.
bool TcpStep(const Trigger& trigger, velmora::SocketHandle& socket)
{
    // An empty send succeeds even after the peer has closed: look first, or a
    // connection the target dropped would be held forever and never renewed.
    if (socket.valid() && !velmora::StreamStillOpen(socket.fd())) {
        CloseSocket(socket);
        return false;
    }
    if (!socket.valid()) {
        if (OpenTcpSocket(socket) != 0)
            return false;
        if (ConnectIPv4(socket.fd(), trigger.target.c_str(), trigger.port) != 0) {
            CloseSocket(socket);
            return false;
        }
    }
    size_t sent = 0;
    if (SendAll(socket.fd(), "", 0, velmora::kTriggerSendWaitUs, sent) != 0) {
        CloseSocket(socket);
        return false;
    }
    return true;
}

// The UDP step: one empty datagram, on a socket kept across cycles.
void UdpStep(const Trigger& trigger, velmora::SocketHandle& socket)
{
    if (!socket.valid()) {
        if (OpenUdpSocket(socket) != 0)
            return;
        if (ConnectIPv4(socket.fd(), trigger.target.c_str(), trigger.port) != 0) {
            CloseSocket(socket);
            return;
        }
    }
    size_t sent = 0;
    if (SendToAll(socket.fd(), "", 0, trigger.target.c_str(), trigger.port,
                  velmora::kTriggerSendWaitUs, sent) != 0)
        CloseSocket(socket);
}

} // namespace

int TriggerWorker(std::unique_ptr<TriggeringEntry> copy,
                  std::shared_ptr<velmora::TriggeringRun> run)
{
    const std::string name(velmora::Field(copy->name));
    const std::string address(velmora::Field(copy->trigger_address));
    const std::string portText(velmora::Field(copy->trigger_port));
    const std::string_view protocol = velmora::Field(copy->protocol);

    Trigger trigger;
    trigger.port = velmora::ParseDecimal(portText);
    trigger.tcp = protocol.find("TCP") != std::string_view::npos;
    trigger.udp = protocol.find("UDP") != std::string_view::npos;
    // The entry's frequency is read here, and held to the lowest one allowed.
    const auto pause = std::max(std::chrono::milliseconds(std::max(
                                    1, velmora::ParseDecimal(velmora::Field(copy->frequence)))),
                                run->timing().lowestPause);

    trigger.target = velmora::ResolveTriggerTarget(address);
    WriteLog("start port triggering[%s], trigger address is %s, trigger port is %s\n", name.c_str(),
             address.c_str(), portText.c_str());

    velmora::SocketHandle tcpSocket;
    velmora::SocketHandle udpSocket;
    for (;;) {
        bool tcpPassed = !trigger.tcp || TcpStep(trigger, tcpSocket);
        if (tcpPassed && trigger.udp) // a failed TCP step ends the cycle
            UdpStep(trigger, udpSocket);
        run->cycleCompleted();
        std::this_thread::sleep_for(pause);
        if (run->stopRequested())
            break;
    }

    std::this_thread::sleep_for(run->timing().grace);
    WriteLog("stop port triggering[%s], trigger address is %s, trigger port is %s\n", name.c_str(),
             address.c_str(), portText.c_str());
    run->reportWorkerEnded(run, *copy);
    CloseSocket(tcpSocket);
    CloseSocket(udpSocket);
    run->workerEnded();
    return 0;
}
