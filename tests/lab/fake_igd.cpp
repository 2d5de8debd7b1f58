// fake_igd: a tiny stand-in for a router's UPnP side, run inside a lab
// namespace. It answers SSDP M-SEARCH with a LOCATION on its own HTTP server,
// which serves a given device description and, for POSTs, a canned SOAP answer.
//
//   fake_igd --desc FILE [--soap FILE] [--soap-status CODE] [--seconds N]
//            [--http-port PORT] [--location URL] [--path /desc.xml] [--bodies FILE]
//            [--silent-soap]
//
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
#include <fstream>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
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
    bool silentSoap = false;
};

// Connections of POSTs that are never answered (--silent-soap), closed at the end.
std::vector<int> g_heldConnections;

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
        else
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

int OpenHttp(int port, int& boundPort)
{
    int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0)
        return -1;
    int one = 1;
    setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    socklen_t len = sizeof addr;
    if (bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(s, 16) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        close(s);
        return -1;
    }
    boundPort = ntohs(addr.sin_port);
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
    const char* reason = status == 200 ? "OK" : status == 404 ? "Not Found" : "Error";
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
                        "[--bodies FILE] [--silent-soap]\n");
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
    while (!g_stop && Clock::now() < deadline) {
        pollfd p[2] = {{ssdp.get(), POLLIN, 0}, {http.get(), POLLIN, 0}};
        if (poll(p, 2, 200) <= 0)
            continue;
        if (p[0].revents & POLLIN)
            AnswerSearch(ssdp.get(), o, httpPort);
        if (p[1].revents & POLLIN)
            AnswerHttp(http.get(), o);
    }
    for (int fd : g_heldConnections)
        close(fd);
    return 0;
}
