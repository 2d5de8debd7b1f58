#include "app/cli/OfferText.h"

namespace velmora::cli {

namespace {

std::string Mappings(const OfferReport& report)
{
    if (!report.natPmp)
        return "IPv4 port mappings: UPnP";
    return report.offer.pcpMappings ? "IPv4 port mappings: PCP" : "IPv4 port mappings: NAT-PMP";
}

std::string Pinholes(const RouterOffer& offer)
{
    switch (offer.pinholes.via) {
    case LeaseRoute::Via::UpnpPinhole:
        return "IPv6 pinholes: UPnP, for " + offer.pinholeAddress;
    case LeaseRoute::Via::Pcp:
        return "IPv6 pinholes: PCP, for " + offer.pinholeAddress;
    case LeaseRoute::Via::None:
        break;
    }
    if (offer.upnpFirewall)
        return "IPv6 pinholes: UPnP, but this computer has no global IPv6 address on the "
               "router's link";
    return "IPv6 pinholes: not offered";
}

std::string Firewall(const FirewallStatus& status)
{
    if (!status.answered)
        return "IPv6 firewall: not told (" + English(status.problem) + ")";
    if (!status.enabled)
        return "IPv6 firewall: off";
    return status.inboundAllowed ? "IPv6 firewall: on, inbound pinholes allowed"
                                 : "IPv6 firewall: on, inbound pinholes not allowed";
}

} // namespace

bool TellsOffer(const OfferReport& report)
{
    return report.offer.upnpFirewall || report.offer.pcp;
}

std::vector<std::string> OfferText(const OfferReport& report)
{
    if (!TellsOffer(report))
        return {};
    std::vector<std::string> lines{Mappings(report), Pinholes(report.offer)};
    if (report.firewall)
        lines.push_back(Firewall(*report.firewall));
    return lines;
}

} // namespace velmora::cli
