#include "router/core/RouterInfoReport.h"

#include "router/core/RouterEntry.h"
#include "router/core/RouterInfoTexts.h"

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

Message BitRateBracketText(unsigned bitsPerSecond)
{
    using namespace router_info_texts;
    if (bitsPerSecond >= 1000000)
        return Message(kMegabits, {std::to_string(bitsPerSecond / 1000000),
                                   std::to_string((bitsPerSecond / 100000) % 10)});
    if (bitsPerSecond >= 1000)
        return Message(kKilobits, {std::to_string(bitsPerSecond / 1000)});
    return {};
}

std::string BitRateBracket(unsigned bitsPerSecond)
{
    return English(BitRateBracketText(bitsPerSecond));
}

MessageList RouterInfoReportText(const RouterInfoValues& values)
{
    using namespace router_info_texts;
    MessageList report;
    if (values.connectionType)
        report.push_back(Message(kConnectionType, {*values.connectionType}));
    if (values.status)
        report.push_back(
            Message(kStatus, {values.status->text, std::to_string(values.status->uptime)}));
    if (values.bitRates) {
        const unsigned down = values.bitRates->down;
        const unsigned up = values.bitRates->up;
        report.push_back(Message(kBitRates, {std::to_string(down), BitRateBracketText(down),
                                             std::to_string(up), BitRateBracketText(up)}));
    }
    report.emplace_back("\n");
    if (values.externalAddress)
        report.push_back(Message(kExternalAddress, {*values.externalAddress}));
    report.push_back(
        Message(kBytes, {Printf("%8u", values.bytesSent), Printf("%8u", values.bytesReceived)}));
    report.push_back(Message(
        kPackets, {Printf("%8u", values.packetsSent), Printf("%8u", values.packetsReceived)}));
    return report;
}

std::string FormatRouterInfoReport(const RouterInfoValues& values)
{
    return English(RouterInfoReportText(values));
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
