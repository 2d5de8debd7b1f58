#include "router/core/RouterInfoReport.h"

#include "router/core/RouterEntry.h"

#include <cstdio>
#include <ctime>
#include <miniupnpc/upnpcommands.h>

namespace velmora {

namespace {

std::string Printf(const char* format, auto... args)
{
    int length = std::snprintf(nullptr, 0, format, args...);
    if (length <= 0)
        return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), format, args...);
    text.resize(static_cast<size_t>(length));
    return text;
}

void PrintStartTime(unsigned uptime)
{
    std::time_t started = std::time(nullptr) - static_cast<std::time_t>(uptime);
    char text[64] = {};
    if (ctime_r(&started, text))
        std::printf("  Time started : %s", text);
}

} // namespace

std::string BitRateBracket(unsigned bitsPerSecond)
{
    if (bitsPerSecond >= 1000000)
        return Printf(" (%u.%u Mbps)", bitsPerSecond / 1000000, (bitsPerSecond / 100000) % 10);
    if (bitsPerSecond >= 1000)
        return Printf(" (%u Kbps)", bitsPerSecond / 1000);
    return {};
}

std::string FormatRouterInfoReport(const RouterInfoValues& values)
{
    std::string report;
    if (values.connectionType)
        report += Printf("Connection Type : %s\n", values.connectionType->c_str());
    if (values.status)
        report +=
            Printf("Status : %s, uptime=%us\n", values.status->text.c_str(), values.status->uptime);
    if (values.bitRates) {
        report += Printf("MaxBitRateDown : %u bps", values.bitRates->down);
        report += BitRateBracket(values.bitRates->down);
        report += Printf("   MaxBitRateUp %u bps", values.bitRates->up);
        report += BitRateBracket(values.bitRates->up);
        report += "\n";
    }
    report += "\n";
    if (values.externalAddress)
        report += Printf("ExternalIPAddress = %s\n", values.externalAddress->c_str());
    report += Printf("Bytes:   Sent: %8u\tRecv: %8u\n", values.bytesSent, values.bytesReceived);
    report += Printf("Packets: Sent: %8u\tRecv: %8u\n", values.packetsSent, values.packetsReceived);
    return report;
}

RouterInfoValues QueryRouterInfo(const IGDdatas& data, const UPNPUrls& urls)
{
    RouterInfoValues values;
    const char* control = urls.controlURL;
    const char* service = data.first.servicetype;
    const char* controlCif = urls.controlURL_CIF;
    const char* serviceCif = data.CIF.servicetype;

    char connectionType[64] = {};
    if (UPNP_GetConnectionTypeInfo(control, service, connectionType) == UPNPCOMMAND_SUCCESS)
        values.connectionType = connectionType;
    else
        std::printf("GetConnectionTypeInfo failed.\n");

    char status[64] = {};
    char lastError[64] = {};
    unsigned uptime = 0;
    if (UPNP_GetStatusInfo(control, service, status, &uptime, lastError) == UPNPCOMMAND_SUCCESS) {
        values.status = RouterInfoValues::Status{status, uptime};
        PrintStartTime(uptime);
    } else {
        std::printf("GetStatusInfo failed.\n");
    }

    unsigned down = 0;
    unsigned up = 0;
    if (UPNP_GetLinkLayerMaxBitRates(controlCif, serviceCif, &down, &up) == UPNPCOMMAND_SUCCESS)
        values.bitRates = RouterInfoValues::BitRates{down, up};
    else
        std::printf("GetLinkLayerMaxBitRates failed.\n");

    char external[40] = {};
    int result = UPNP_GetExternalIPAddress(control, service, external);
    if (result == UPNPCOMMAND_SUCCESS)
        values.externalAddress = external;
    else
        std::printf("GetExternalIPAddress failed. (errorcode=%d)\n", result);

    values.bytesSent = UPNP_GetTotalBytesSent(controlCif, serviceCif);
    values.bytesReceived = UPNP_GetTotalBytesReceived(controlCif, serviceCif);
    values.packetsSent = UPNP_GetTotalPacketsSent(controlCif, serviceCif);
    values.packetsReceived = UPNP_GetTotalPacketsReceived(controlCif, serviceCif);
    std::fflush(stdout);
    return values;
}

} // namespace velmora

void BuildRouterInfoReport(const IGDdatas& data, const UPNPUrls& urls, std::string& report)
{
    report += velmora::FormatRouterInfoReport(velmora::QueryRouterInfo(data, urls));
}

void BuildRouterInfoReport(const RouterEntry& router, std::string& report)
{
    BuildRouterInfoReport(router.data, router.urls, report);
}
