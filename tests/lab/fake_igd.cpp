// fake_igd: a tiny stand-in for a router's UPnP side, run inside a lab
// namespace. It answers SSDP M-SEARCH with a LOCATION on its own HTTP server,
// which serves a given device description and, for POSTs, a canned SOAP answer.
//
//   fake_igd --desc FILE [--soap FILE] [--soap-status CODE] [--seconds N]
//            [--http-port PORT] [--location URL] [--path /desc.xml] [--bodies FILE]
//            [--hostile MODE [--hostile-on desc|soap|all]] [--silent-soap]
//
// With --hostile it misbehaves as a broken router would (see HostileMode);
// its SOAP side then answers the common actions itself, those of the IPv6
// firewall control included, and --soap is not used. HTTP listens on IPv4
// and IPv6.
// --silent-soap: a router that accepts SOAP requests and never answers them;
// each POST connection is read and then held open, unanswered, until the end.
//
// It prints "fake_igd ready http_port=PORT" once it listens, and one line per
// request it saw ("ssdp ST", "http GET /path", "http POST /path SOAPAction")
// on stdout. It ends after --seconds (default 30).

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <random>
#include <sstream>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kMaxRequest = 64 * 1024;
constexpr const char* kIgdType = "urn:schemas-upnp-org:device:InternetGatewayDevice:1";

// Ways a broken router misbehaves.
enum class HostileMode
{
    None,
    Silent,      // accepts the connection, reads the request, never answers
    Trickle,     // sends its answer one byte every 0.5 s
    Garbage,     // answers 4 KiB of random bytes
    Huge,        // a 50 MB answer (description or SOAP)
    Forgetful,   // "200 OK" to AddPortMapping, but stores nothing
    Fault,       // a SOAP fault to every action
    Igd2,        // answers an IGD:1 search with an IGD:2 search target
    Markup,      // HTML in its words: connection type, mapping description
    HugeBulk,    // a 1 MB GetListOfPortMappings answer of entries without a port
    FirewallOff, // its IPv6 firewall is off: every pinhole refused with 702
};

struct Options
{
    std::string desc;
    std::string soap;
    int soapStatus = 200;
    std::string bodies; // where each POST body is appended
    int seconds = 30;
    int httpPort = 0;
    std::string location;
    std::string path = "/desc.xml";
    HostileMode hostile = HostileMode::None;
    bool hostileDesc = true; // the mode applies to the description
    bool hostileSoap = true; // and to SOAP answers
    bool silentSoap = false;
};

// Connections of POSTs that are never answered (--silent-soap), closed at the end.
std::vector<int> g_heldConnections;

bool ParseHostileMode(const std::string& name, HostileMode& mode)
{
    const std::pair<const char*, HostileMode> names[] = {
        {"silent", HostileMode::Silent},       {"trickle", HostileMode::Trickle},
        {"garbage", HostileMode::Garbage},     {"huge", HostileMode::Huge},
        {"forgetful", HostileMode::Forgetful}, {"fault", HostileMode::Fault},
        {"igd2", HostileMode::Igd2},           {"markup", HostileMode::Markup},
        {"hugebulk", HostileMode::HugeBulk},   {"firewall-off", HostileMode::FirewallOff},
    };
    for (const auto& [text, value] : names) {
        if (name == text) {
            mode = value;
            return true;
        }
    }
    return false;
}

volatile sig_atomic_t g_stop = 0;

class Fd final
{
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

void Log(const std::string& line)
{
    printf("%s\n", line.c_str());
    fflush(stdout);
}

bool ReadFile(const std::string& path, std::string& out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream s;
    s << in.rdbuf();
    out = s.str();
    return true;
}

bool ParseArgs(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--silent-soap") {
            o.silentSoap = true;
            continue;
        }
        const bool hasValue = i + 1 < argc;
        if (!hasValue)
            return false;
        const std::string v = argv[++i];
        if (a == "--desc")
            o.desc = v;
        else if (a == "--soap")
            o.soap = v;
        else if (a == "--bodies")
            o.bodies = v;
        else if (a == "--soap-status")
            o.soapStatus = atoi(v.c_str());
        else if (a == "--seconds")
            o.seconds = atoi(v.c_str());
        else if (a == "--http-port")
            o.httpPort = atoi(v.c_str());
        else if (a == "--location")
            o.location = v;
        else if (a == "--path")
            o.path = v;
        else if (a == "--hostile") {
            if (!ParseHostileMode(v, o.hostile))
                return false;
        } else if (a == "--hostile-on") {
            o.hostileDesc = v == "desc" || v == "all";
            o.hostileSoap = v == "soap" || v == "all";
            if (!o.hostileDesc && !o.hostileSoap)
                return false;
        } else
            return false;
    }
    return !o.desc.empty() && o.seconds > 0 && o.seconds <= 3600 && o.httpPort >= 0 &&
           o.httpPort < 65536 && o.soapStatus >= 100 && o.soapStatus < 1000;
}

// The value of a header (case-insensitive name), or "".
std::string Header(const std::string& msg, const std::string& name)
{
    std::istringstream lines(msg);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.size() > name.size() && line[name.size()] == ':' &&
            strncasecmp(line.c_str(), name.c_str(), name.size()) == 0) {
            size_t start = name.size() + 1;
            while (start < line.size() && line[start] == ' ')
                ++start;
            return line.substr(start);
        }
    }
    return {};
}

// The address of ours that the peer reaches us at.
std::string LocalAddressToward(const sockaddr_in& peer)
{
    Fd s(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    sockaddr_in local{};
    socklen_t len = sizeof local;
    if (s.get() < 0 ||
        connect(s.get(), reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != 0 ||
        getsockname(s.get(), reinterpret_cast<sockaddr*>(&local), &len) != 0)
        return "127.0.0.1";
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &local.sin_addr, text, sizeof text);
    return text;
}

int OpenSsdp()
{
    int s = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (s < 0)
        return -1;
    int one = 1;
    setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(1900);
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        close(s);
        return -1;
    }
    // Join the SSDP group on every interface, not only the default route's.
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) == 0) {
        for (ifaddrs* i = list; i; i = i->ifa_next) {
            if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET || (i->ifa_flags & IFF_LOOPBACK))
                continue;
            ip_mreq m{};
            inet_pton(AF_INET, "239.255.255.250", &m.imr_multiaddr);
            m.imr_interface = reinterpret_cast<sockaddr_in*>(i->ifa_addr)->sin_addr;
            setsockopt(s, IPPROTO_IP, IP_ADD_MEMBERSHIP, &m, sizeof m);
        }
        freeifaddrs(list);
    }
    return s;
}

// HTTP on IPv4 and IPv6 (a lab with --lab-ipv6 reaches it on the router's
// IPv6 addresses too).
int OpenHttp(int port, int& boundPort)
{
    int s = socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0)
        return -1;
    int one = 1;
    int off = 0;
    setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    setsockopt(s, IPPROTO_IPV6, IPV6_V6ONLY, &off, sizeof off);
    sockaddr_in6 addr{};
    addr.sin6_family = AF_INET6;
    addr.sin6_port = htons(static_cast<uint16_t>(port));
    addr.sin6_addr = in6addr_any;
    socklen_t len = sizeof addr;
    if (bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(s, 16) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        close(s);
        return -1;
    }
    boundPort = ntohs(addr.sin6_port);
    return s;
}

void AnswerSearch(int s, const Options& o, int httpPort)
{
    char buf[2048];
    sockaddr_in peer{};
    socklen_t len = sizeof peer;
    const ssize_t n = recvfrom(s, buf, sizeof buf - 1, 0, reinterpret_cast<sockaddr*>(&peer), &len);
    if (n <= 0)
        return;
    const std::string msg(buf, static_cast<size_t>(n));
    if (msg.rfind("M-SEARCH", 0) != 0)
        return;
    std::string st = Header(msg, "ST");
    Log("ssdp " + st);
    if (st == "ssdp:all" || st == "upnp:rootdevice")
        st = kIgdType;
    else if (st.find("InternetGatewayDevice") == std::string::npos &&
             st.find("WANIPConnection") == std::string::npos &&
             st.find("WANPPPConnection") == std::string::npos &&
             st.find("WANDevice") == std::string::npos)
        return;
    if (o.hostile == HostileMode::Igd2 && st.find("InternetGatewayDevice:1") != std::string::npos)
        st = "urn:schemas-upnp-org:device:InternetGatewayDevice:2";
    const std::string location = o.location.empty() ? "http://" + LocalAddressToward(peer) + ":" +
                                                          std::to_string(httpPort) + o.path
                                                    : o.location;
    const std::string reply = "HTTP/1.1 200 OK\r\n"
                              "CACHE-CONTROL: max-age=120\r\n"
                              "ST: " +
                              st +
                              "\r\n"
                              "USN: uuid:00000000-0000-0000-0000-0000fa4e1960::" +
                              st +
                              "\r\n"
                              "EXT:\r\n"
                              "SERVER: Linux UPnP/1.0 fake_igd/1.0\r\n"
                              "LOCATION: " +
                              location + "\r\n\r\n";
    sendto(s, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr*>(&peer), len);
}

// Reads one request (head and Content-Length body) within two seconds.
bool ReadRequest(int c, std::string& req)
{
    const auto deadline = Clock::now() + std::chrono::seconds(2);
    size_t wanted = 0;
    char buf[4096];
    while (req.size() < kMaxRequest) {
        const size_t headEnd = req.find("\r\n\r\n");
        if (headEnd != std::string::npos) {
            if (wanted == 0)
                wanted =
                    headEnd + 4 + std::strtoul(Header(req, "Content-Length").c_str(), nullptr, 10);
            if (req.size() >= wanted)
                return true;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return false;
        pollfd p{c, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left.count())) <= 0)
            return false;
        const ssize_t n = recv(c, buf, sizeof buf, 0);
        if (n <= 0)
            return headEnd != std::string::npos;
        req.append(buf, static_cast<size_t>(n));
    }
    return false;
}

void SendAll(int c, const std::string& data)
{
    size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t n = send(c, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        sent += static_cast<size_t>(n);
    }
}

std::string Response(int status, const std::string& body)
{
    const char* reason = status == 200   ? "OK"
                         : status == 404 ? "Not Found"
                         : status == 500 ? "Internal Server Error"
                                         : "Error";
    return "HTTP/1.1 " + std::to_string(status) + " " + reason +
           "\r\n"
           "Content-Type: text/xml; charset=\"utf-8\"\r\n"
           "Connection: close\r\n"
           "Content-Length: " +
           std::to_string(body.size()) + "\r\n\r\n" + body;
}

// Keeps a connection open without a word until the program ends.
void HoldUnanswered(Fd& connection)
{
    const int fd = dup(connection.get());
    if (fd >= 0 && g_heldConnections.size() < 256)
        g_heldConnections.push_back(fd);
    else if (fd >= 0)
        close(fd);
}

void AnswerHttp(int listener, const Options& o)
{
    Fd c(accept4(listener, nullptr, nullptr, SOCK_CLOEXEC));
    if (c.get() < 0)
        return;
    std::string req;
    if (!ReadRequest(c.get(), req))
        return;
    std::istringstream first(req);
    std::string method, path;
    first >> method >> path;
    std::string body;
    if (method == "GET") {
        Log("http GET " + path);
        if (path == o.path && ReadFile(o.desc, body))
            SendAll(c.get(), Response(200, body));
        else
            SendAll(c.get(), Response(404, ""));
    } else if (method == "POST" && o.silentSoap) {
        Log("http POST " + path + " " + Header(req, "SOAPAction") + " (held)");
        HoldUnanswered(c);
    } else if (method == "POST") {
        Log("http POST " + path + " " + Header(req, "SOAPAction"));
        if (!o.bodies.empty()) {
            std::ofstream out(o.bodies, std::ios::binary | std::ios::app);
            out << req.substr(req.find("\r\n\r\n") + 4) << "\n----\n";
        }
        if (!o.soap.empty() && ReadFile(o.soap, body))
            SendAll(c.get(), Response(o.soapStatus, body));
        else
            SendAll(c.get(), Response(500, ""));
    } else {
        SendAll(c.get(), Response(404, ""));
    }
}

std::string SoapEnvelope(const std::string& body)
{
    return "<?xml version=\"1.0\"?>\r\n<s:Envelope "
           "xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\" "
           "s:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\"><s:Body>" +
           body + "</s:Body></s:Envelope>\r\n";
}

std::string SoapFault(int code, const char* text)
{
    return SoapEnvelope("<s:Fault><faultcode>s:Client</faultcode><faultstring>UPnPError"
                        "</faultstring><detail><UPnPError "
                        "xmlns=\"urn:schemas-upnp-org:control-1-0\"><errorCode>" +
                        std::to_string(code) + "</errorCode><errorDescription>" + text +
                        "</errorDescription></UPnPError></detail></s:Fault>");
}

// The value of <name>...</name> in a SOAP request, or "".
std::string SoapArgument(const std::string& request, const std::string& name)
{
    const size_t start = request.find("<" + name + ">");
    if (start == std::string::npos)
        return {};
    const size_t from = start + name.size() + 2;
    const size_t end = request.find("</" + name + ">", from);
    return end == std::string::npos ? std::string() : request.substr(from, end - from);
}

// Markup as a router could send it: read as text by the XML readers.
constexpr const char* kMarkupCdata = "<![CDATA[<a href=\"http://x.example/\">IP_Routed</a>]]>";
constexpr const char* kMarkupEscaped = "&lt;a href=\"http://x.example/\"&gt;lab&lt;/a&gt;";

// A GetListOfPortMappings list of far more entries than any request asks
// for, none with a port, as many as fit in about 1 MB.
std::string HugePortListing()
{
    std::string list = "<NewPortListing><![CDATA[<p:PortMappingList>";
    while (list.size() < 1000000)
        list += "<p:PortMappingEntry/>";
    return list + "</p:PortMappingList>]]></NewPortListing>";
}

// The answers of a router that holds one mapping (15555/TCP) and accepts
// every AddPortMapping without keeping it; likewise every AddPinhole (its
// IPv6 firewall on, unless in mode firewall-off: then every pinhole is refused).
std::string ScriptedSoap(const std::string& action, const std::string& request, int& status,
                         HostileMode mode)
{
    const bool markup = mode == HostileMode::Markup;
    const bool firewallOff = mode == HostileMode::FirewallOff;
    const std::string service = "urn:schemas-upnp-org:service:WANIPConnection:1";
    std::string name = action.substr(action.find('#') + 1);
    if (!name.empty() && name.back() == '"')
        name.pop_back(); // SOAPAction is a quoted URI

    auto answer = [&](const std::string& arguments) {
        status = 200;
        return SoapEnvelope("<u:" + name + "Response xmlns:u=\"" + service + "\">" + arguments +
                            "</u:" + name + "Response>");
    };
    status = 500;
    if (name == "GetExternalIPAddress")
        return answer("<NewExternalIPAddress>11.22.33.1</NewExternalIPAddress>");
    if (name == "GetStatusInfo")
        return answer("<NewConnectionStatus>Connected</NewConnectionStatus><NewLastConnectionError>"
                      "ERROR_NONE</NewLastConnectionError><NewUptime>42</NewUptime>");
    if (name == "GetConnectionTypeInfo")
        return answer(std::string("<NewConnectionType>") + (markup ? kMarkupCdata : "IP_Routed") +
                      "</NewConnectionType>"
                      "<NewPossibleConnectionTypes>IP_Routed</NewPossibleConnectionTypes>");
    if (name == "GetListOfPortMappings" && mode == HostileMode::HugeBulk)
        return answer(HugePortListing());
    if (name == "GetGenericPortMappingEntry") {
        if (SoapArgument(request, "NewPortMappingIndex") != "0")
            return SoapFault(713, "SpecifiedArrayIndexInvalid");
        return answer("<NewRemoteHost></NewRemoteHost><NewExternalPort>15555</NewExternalPort>"
                      "<NewProtocol>TCP</NewProtocol><NewInternalPort>15555</NewInternalPort>"
                      "<NewInternalClient>192.168.77.2</NewInternalClient><NewEnabled>1"
                      "</NewEnabled><NewPortMappingDescription>" +
                      std::string(markup ? kMarkupEscaped : "lab") +
                      "</NewPortMappingDescription><NewLeaseDuration>0</NewLeaseDuration>");
    }
    if (name == "AddPortMapping" || name == "DeletePortMapping")
        return answer("");
    if (name == "GetSpecificPortMappingEntry")
        return SoapFault(714, "NoSuchEntryInArray");
    if (name == "GetFirewallStatus")
        return answer(std::string("<FirewallEnabled>") + (firewallOff ? "0" : "1") +
                      "</FirewallEnabled><InboundPinholeAllowed>1</InboundPinholeAllowed>");
    if (name == "AddPinhole")
        return firewallOff ? SoapFault(702, "FirewallDisabled") : answer("<UniqueID>7</UniqueID>");
    if (name == "CheckPinholeWorking" || name == "UpdatePinhole" || name == "DeletePinhole")
        return SoapFault(704, "NoSuchEntry");
    return SoapFault(401, "Invalid Action");
}

// The HTTP side of a broken router: every connection is served on its own
// schedule, so a held or trickling answer never keeps the next request (or
// the SSDP socket) waiting.
class HostileServer final
{
public:
    HostileServer() = default;
    HostileServer(const HostileServer&) = delete;
    HostileServer& operator=(const HostileServer&) = delete;
    ~HostileServer()
    {
        for (auto& c : connections_)
            close(c.fd);
    }

    void accept(int listener)
    {
        const int fd = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0)
            return;
        if (connections_.size() >= kMaxConnections) {
            close(connections_.front().fd); // the oldest goes
            connections_.erase(connections_.begin());
        }
        connections_.push_back({fd, {}, {}, 0, false, false, Clock::now()});
    }

    // Reads what has come, answers complete requests, sends what is due.
    void step(const Options& o)
    {
        for (size_t i = 0; i < connections_.size();) {
            if (serve(connections_[i], o)) {
                ++i;
            } else {
                close(connections_[i].fd);
                connections_.erase(connections_.begin() + static_cast<long>(i));
            }
        }
    }

private:
    static constexpr size_t kMaxConnections = 64;
    static constexpr auto kTrickleGap = std::chrono::milliseconds(500);

    struct Connection
    {
        int fd;
        std::string in;
        std::string out;
        size_t sent;
        bool answered;
        bool trickle;
        Clock::time_point nextByte;
    };

    // False once the connection is done with.
    bool serve(Connection& c, const Options& o)
    {
        char buf[4096];
        for (;;) {
            const ssize_t n = recv(c.fd, buf, sizeof buf, 0);
            if (n > 0) {
                if (c.in.size() < kMaxRequest)
                    c.in.append(buf, static_cast<size_t>(n));
                continue;
            }
            if (n == 0 && !c.answered)
                return false; // the client gave up before its answer
            break;
        }
        if (!c.answered && RequestComplete(c.in)) {
            c.answered = true;
            c.out = Answer(c.in, o, c.trickle);
            c.nextByte = Clock::now();
            if (c.out.empty())
                return true; // held: never answered
        }
        if (c.out.empty() || c.sent >= c.out.size())
            return !c.answered || c.out.empty();
        if (c.trickle) {
            if (Clock::now() < c.nextByte)
                return true;
            if (send(c.fd, c.out.data() + c.sent, 1, MSG_NOSIGNAL) == 1)
                ++c.sent;
            c.nextByte = Clock::now() + kTrickleGap;
        } else {
            const ssize_t n =
                send(c.fd, c.out.data() + c.sent, c.out.size() - c.sent, MSG_NOSIGNAL);
            if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
                return false;
            if (n > 0)
                c.sent += static_cast<size_t>(n);
        }
        return c.sent < c.out.size(); // all sent: close, as "Connection: close" says
    }

    static bool RequestComplete(const std::string& in)
    {
        const size_t headEnd = in.find("\r\n\r\n");
        if (headEnd == std::string::npos)
            return in.size() >= kMaxRequest;
        const size_t wanted =
            headEnd + 4 + std::strtoul(Header(in, "Content-Length").c_str(), nullptr, 10);
        return in.size() >= wanted || in.size() >= kMaxRequest;
    }

    // The answer to one request; "" to hold it forever.
    static std::string Answer(const std::string& request, const Options& o, bool& trickle)
    {
        std::istringstream first(request);
        std::string method, path;
        first >> method >> path;
        const bool isDescription = method == "GET";
        const std::string action = Header(request, "SOAPAction");
        Log("http " + method + " " + path + (isDescription ? "" : " " + action));
        int status = 404;
        std::string body;
        if (isDescription) {
            if (path == o.path && ReadFile(o.desc, body))
                status = 200;
        } else {
            const size_t bodyStart = request.find("\r\n\r\n");
            body = o.hostile == HostileMode::Fault
                       ? SoapFault(501, "Action Failed")
                       : ScriptedSoap(action, request.substr(bodyStart + 4), status, o.hostile);
            if (o.hostile == HostileMode::Fault)
                status = 500;
        }
        const bool applies = isDescription ? o.hostileDesc : o.hostileSoap;
        trickle = false;
        if (applies) {
            switch (o.hostile) {
            case HostileMode::Silent:
                return {};
            case HostileMode::Trickle:
                trickle = true;
                break;
            case HostileMode::Garbage: {
                std::mt19937 random(std::random_device{}());
                std::string noise(4096, '\0');
                for (char& c : noise)
                    c = static_cast<char>(random());
                return noise;
            }
            case HostileMode::Huge:
                if (isDescription) {
                    // The description, then 50 MB of comment before its end.
                    const size_t end = body.rfind("</root>");
                    const std::string padding = "<!--" + std::string(50u << 20, 'x') + "-->";
                    body = end == std::string::npos
                               ? body + padding
                               : body.substr(0, end) + padding + body.substr(end);
                } else {
                    body += std::string(50u << 20, ' ');
                }
                break;
            default:
                break;
            }
        }
        return Response(status, body);
    }

    std::vector<Connection> connections_;
};

// True inside one of the lab's namespaces (PREFIX-lan, -router or -inet in
// /run/netns): it must never answer on the machine's own network.
bool InLabNamespace()
{
    struct stat mine
    {
    };
    if (stat("/proc/self/ns/net", &mine) != 0)
        return false;
    bool found = false;
    if (DIR* d = opendir("/run/netns")) {
        while (const dirent* e = readdir(d)) {
            const std::string name = e->d_name;
            const size_t dash = name.rfind('-');
            if (dash == std::string::npos)
                continue;
            const std::string side = name.substr(dash + 1);
            if (side != "lan" && side != "router" && side != "inet")
                continue;
            struct stat ns
            {
            };
            if (stat(("/run/netns/" + name).c_str(), &ns) == 0 && ns.st_dev == mine.st_dev &&
                ns.st_ino == mine.st_ino)
                found = true;
        }
        closedir(d);
    }
    return found;
}

} // namespace

int main(int argc, char** argv)
{
    Options o;
    if (!ParseArgs(argc, argv, o)) {
        fprintf(stderr, "usage: fake_igd --desc FILE [--soap FILE] [--soap-status CODE] "
                        "[--seconds N] [--http-port PORT] [--location URL] [--path /desc.xml] "
                        "[--bodies FILE] [--silent-soap] [--hostile silent|trickle|garbage|huge|"
                        "forgetful|fault|igd2|markup|hugebulk|firewall-off "
                        "[--hostile-on desc|soap|all]]\n");
        return 2;
    }
    if (!InLabNamespace()) {
        fprintf(stderr, "fake_igd: refusing to run outside a lab namespace\n");
        return 1;
    }
    signal(SIGTERM, [](int) { g_stop = 1; });
    signal(SIGINT, [](int) { g_stop = 1; });
    int httpPort = 0;
    Fd ssdp(OpenSsdp());
    Fd http(OpenHttp(o.httpPort, httpPort));
    if (ssdp.get() < 0 || http.get() < 0) {
        fprintf(stderr, "fake_igd: cannot open sockets: %s\n", strerror(errno));
        return 1;
    }
    Log("fake_igd ready http_port=" + std::to_string(httpPort));
    const auto deadline = Clock::now() + std::chrono::seconds(o.seconds);
    HostileServer hostile;
    while (!g_stop && Clock::now() < deadline) {
        pollfd p[2] = {{ssdp.get(), POLLIN, 0}, {http.get(), POLLIN, 0}};
        const int timeout = o.hostile == HostileMode::None ? 200 : 20;
        if (poll(p, 2, timeout) <= 0) {
            hostile.step(o);
            continue;
        }
        if (p[0].revents & POLLIN)
            AnswerSearch(ssdp.get(), o, httpPort);
        if (p[1].revents & POLLIN) {
            if (o.hostile == HostileMode::None)
                AnswerHttp(http.get(), o);
            else
                hostile.accept(http.get());
        }
        hostile.step(o);
    }
    for (int fd : g_heldConnections)
        close(fd);
    return 0;
}
