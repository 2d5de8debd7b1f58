// Parse throughput of the UPnP client's XML reader against expat on a 1 MB
// description-like document, and the whole description walk
// (parser_description) on the widest 1 MB descriptions a device could send.
// Prints medians of repeated runs and the ratios.
#include "upnp/core/UpnpClient.h"
#include "upnp/core/XMLNode.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <expat.h>
#include <memory>
#include <string>
#include <time.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRuns = 15;

std::string MakeDocument(size_t target)
{
    std::string doc = "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\n\r\n"
                      "<?xml version=\"1.0\"?>\r\n<root xmlns=\"urn:schemas-upnp-org:device-1-0\">"
                      "<device><deviceType>urn:schemas-upnp-org:device:InternetGatewayDevice:1"
                      "</deviceType><deviceList>\r\n";
    for (int i = 0; doc.size() < target; ++i) {
        const std::string n = std::to_string(i);
        doc += "<device id=\"d" + n +
               "\" enabled=\"1\"><deviceType>urn:schemas-upnp-org:device:"
               "WANDevice:1</deviceType>\r\n<friendlyName>Device " +
               n +
               " &amp; friends</friendlyName>\r\n<serviceList><service><serviceType>"
               "urn:schemas-upnp-org:service:WANIPConnection:1</serviceType>\r\n<controlURL>/ctl/" +
               n + "</controlURL><!-- service " + n + " --></service></serviceList></device>\r\n";
    }
    doc += "</deviceList></device></root>\r\n";
    return doc;
}

// Expat with handlers that build a small tree of names and texts, the
// nearest like-for-like to the DOM reader.
struct ExpatNode
{
    std::string name;
    std::string text;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<std::unique_ptr<ExpatNode>> children;
};

struct ExpatTree
{
    ExpatNode root;
    std::vector<ExpatNode*> stack{&root};
};

void OnStart(void* data, const XML_Char* name, const XML_Char** attributes)
{
    auto* tree = static_cast<ExpatTree*>(data);
    auto node = std::make_unique<ExpatNode>();
    node->name = name;
    for (int i = 0; attributes[i]; i += 2)
        node->attributes.emplace_back(attributes[i], attributes[i + 1]);
    ExpatNode* raw = node.get();
    tree->stack.back()->children.push_back(std::move(node));
    tree->stack.push_back(raw);
}

void OnEnd(void* data, const XML_Char*)
{
    static_cast<ExpatTree*>(data)->stack.pop_back();
}

void OnText(void* data, const XML_Char* text, int length)
{
    static_cast<ExpatTree*>(data)->stack.back()->text.append(text, static_cast<size_t>(length));
}

bool ExpatParse(const std::string& body, bool buildTree)
{
    XML_Parser parser = XML_ParserCreate(nullptr);
    ExpatTree tree;
    if (buildTree) {
        XML_SetUserData(parser, &tree);
        XML_SetElementHandler(parser, OnStart, OnEnd);
        XML_SetCharacterDataHandler(parser, OnText);
    }
    const bool ok = XML_Parse(parser, body.data(), static_cast<int>(body.size()), 1) != 0;
    XML_ParserFree(parser);
    return ok;
}

// This process's CPU time in milliseconds: steadier than the wall clock on a
// machine that others share.
double CpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

template <typename F> double MedianCpuMs(F&& run)
{
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        const double start = CpuMs();
        run();
        times.push_back(CpuMs() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

template <typename F> double MedianMs(F&& run)
{
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        const auto start = Clock::now();
        run();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// A 1 MB description whose gateway device comes after as many `filler`
// siblings as fit, so that each device search has them all to look through.
std::string MakeWideDescription(size_t target, const std::string& filler)
{
    const std::string head = "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\n\r\n"
                             "<?xml version=\"1.0\"?>\r\n<root>";
    const std::string tail =
        "<device><deviceType>urn:schemas-upnp-org:device:InternetGatewayDevice:1</deviceType>"
        "<deviceList><device><deviceType>urn:schemas-upnp-org:device:WANDevice:1</deviceType>"
        "<deviceList><device><deviceType>urn:schemas-upnp-org:device:WANConnectionDevice:1"
        "</deviceType><serviceList><service><serviceType>urn:schemas-upnp-org:service:"
        "WANIPConnection:1</serviceType><controlURL>/ctl/IPConn</controlURL></service>"
        "</serviceList></device></deviceList></device></deviceList></device></root>";
    std::string doc = head;
    while (doc.size() + filler.size() + tail.size() <= target)
        doc += filler;
    return doc + tail;
}

// The description walk as View IP runs it: parse, then down to the service.
bool Walk(const std::string& description)
{
    UpnpClient client;
    client.describe_url = "http://10.0.0.1:5000/desc.xml";
    client.description = description;
    return client.parser_description() && client.control_url == "http://10.0.0.1:5000/ctl/IPConn";
}

} // namespace

int main()
{
    const std::string document = MakeDocument(1024 * 1024);
    // Expat takes the XML alone; the DOM reader takes the whole HTTP response.
    const std::string body = document.substr(document.find("<?xml"));
    const double megabytes = static_cast<double>(document.size()) / (1024.0 * 1024.0);

    if (XMLNode::parseDocument(document.c_str(), "root").empty() || !ExpatParse(body, true)) {
        std::fprintf(stderr, "the benchmark document does not parse\n");
        return 1;
    }
    const double ours = MedianMs([&] { XMLNode::parseDocument(document.c_str(), "root"); });
    const double expatTree = MedianMs([&] { ExpatParse(body, true); });
    const double expatBare = MedianMs([&] { ExpatParse(body, false); });

    std::printf("parseDocument vs expat, %.2f MB document, median of %d runs\n", megabytes, kRuns);
    std::printf("  parseDocument (DOM)        %8.2f ms  %7.1f MB/s\n", ours,
                megabytes / ours * 1000);
    std::printf("  expat + small tree         %8.2f ms  %7.1f MB/s\n", expatTree,
                megabytes / expatTree * 1000);
    std::printf("  expat, no handlers         %8.2f ms  %7.1f MB/s\n", expatBare,
                megabytes / expatBare * 1000);
    std::printf("  ratio ours / expat+tree    %8.2fx\n", ours / expatTree);
    std::printf("  ratio ours / expat bare    %8.2fx\n", ours / expatBare);

    // The walk examines each sibling once; the peer is expat reading the same text.
    const struct
    {
        const char* what;
        std::string filler;
    } wide[] = {
        {"empty <device/> siblings", "<device/>"},
        {"devices of another type",
         "<device><deviceType>urn:schemas-upnp-org:device:WANDevice:9</deviceType></device>"},
    };
    std::printf("worst 1 MB description walk (parser_description), median of %d runs\n", kRuns);
    for (const auto& w : wide) {
        const std::string description = MakeWideDescription(1024 * 1024, w.filler);
        const std::string xml = description.substr(description.find("<?xml"));
        if (!Walk(description) || !ExpatParse(xml, true)) {
            std::fprintf(stderr, "the wide description (%s) is not walked\n", w.what);
            return 1;
        }
        const double walk = MedianMs([&] { Walk(description); });
        const double peer = MedianMs([&] { ExpatParse(xml, true); });
        const double walkCpu = MedianCpuMs([&] { Walk(description); });
        const double peerCpu = MedianCpuMs([&] { ExpatParse(xml, true); });
        std::printf("  %-26s %7.2f ms (CPU %6.2f ms)   expat + small tree %7.2f ms (CPU %6.2f ms)"
                    "   ratio %5.2fx\n",
                    w.what, walk, walkCpu, peer, peerCpu, walkCpu / peerCpu);
    }
    return 0;
}
