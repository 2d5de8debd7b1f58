// The UPnP client's own processor time per SOAP action, without the network:
// building the request and reading a captured miniupnpd answer. The router
// lab's timings are dominated by the router; this isolates our share of them.
#include "upnp/core/SoapActions.h"
#include "upnp/core/SoapRequest.h"
#include "upnp/core/UpnpClient.h"
#include "upnp/core/XMLNode.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRuns = 21;
constexpr int kRepeats = 2000;

std::string ReadFile(const std::string& name)
{
    std::ifstream in(std::string(VELMORA_UPNP_TEST_DATA) + "/miniupnpd/" + name,
                     std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Median over kRuns of the time of one call, in microseconds.
template <typename F> double MedianUs(F&& run)
{
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        const auto start = Clock::now();
        for (int r = 0; r < kRepeats; ++r)
            run();
        times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count() /
                        kRepeats);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main()
{
    const std::string service = "urn:schemas-upnp-org:service:WANIPConnection:1";
    const std::string externalIp = ReadFile("external_ip.http");
    const std::string added = ReadFile("add_ok.http");
    const std::string entry = ReadFile("entry_0.http");
    const std::string description = ReadFile("description.http");
    if (externalIp.empty() || added.empty() || entry.empty() || description.empty()) {
        std::fprintf(stderr, "captured answers not found under %s\n", VELMORA_UPNP_TEST_DATA);
        return 1;
    }
    size_t sink = 0;

    const double request = MedianUs([&] {
        sink += velmora::BuildSoapRequest("/ctl/IPConn", "192.168.77.1", 5000, service,
                                          "AddPortMapping",
                                          velmora::AddPortMappingArguments(
                                              40000, "TCP", 40000, "192.168.77.2", "bench"))
                    .size();
    });
    const double readIp = MedianUs([&] {
        std::string address, error;
        if (velmora::SoapAnswerIsSuccess(externalIp) &&
            velmora::ReadExternalIPAddress(externalIp, address, error))
            sink += address.size();
    });
    const double readAdd = MedianUs([&] { sink += velmora::SoapAnswerIsSuccess(added); });
    UpnpClient client;
    const double readEntry = MedianUs([&] {
        client.last_response = entry;
        client.mappings.clear();
        client.mapping_lines.clear();
        sink += velmora::SoapAnswerIsSuccess(entry) && client.parse_mapping_info();
    });
    const double readDescription = MedianUs(
        [&] { sink += !XMLNode::parseDocument(description.c_str(), "root").empty(); });

    std::printf("UPnP client processor time per call (median of %d x %d calls)\n", kRuns,
                kRepeats);
    std::printf("  AddPortMapping request built      %8.3f us\n", request);
    std::printf("  AddPortMapping answer checked     %8.3f us\n", readAdd);
    std::printf("  GetExternalIPAddress answer read  %8.3f us\n", readIp);
    std::printf("  mapping entry answer read         %8.3f us\n", readEntry);
    std::printf("  description parsed (%zu bytes)  %8.3f us\n", description.size(),
                readDescription);
    return sink == 0 ? 1 : 0;
}
