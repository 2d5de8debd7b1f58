#include "router/ui/OfferLines.h"

#include "platform/ui/Tr.h"
#include "platform/ui/Words.h"

#include <QCoreApplication>
#include <QStringList>

namespace velmora {
namespace {

QString Mappings(const OfferReport& report)
{
    if (!report.natPmp)
        return Tr(QT_TRANSLATE_NOOP("velmora", "IPv4 port mappings: UPnP"));
    return report.offer.pcpMappings
               ? Tr(QT_TRANSLATE_NOOP("velmora", "IPv4 port mappings: PCP"))
               : Tr(QT_TRANSLATE_NOOP("velmora", "IPv4 port mappings: NAT-PMP"));
}

QString Pinholes(const RouterOffer& offer)
{
    const QString address = QString::fromStdString(offer.pinholeAddress);
    switch (offer.pinholes.via) {
    case LeaseRoute::Via::UpnpPinhole:
        return Tr(QT_TRANSLATE_NOOP("velmora", "IPv6 pinholes: UPnP, for %1")).arg(address);
    case LeaseRoute::Via::Pcp:
        return Tr(QT_TRANSLATE_NOOP("velmora", "IPv6 pinholes: PCP, for %1")).arg(address);
    case LeaseRoute::Via::None:
        break;
    }
    if (offer.upnpFirewall)
        return Tr(QT_TRANSLATE_NOOP(
            "velmora", "IPv6 pinholes: UPnP, but this computer has no global IPv6 address on the "
                       "router's link"));
    return Tr(QT_TRANSLATE_NOOP("velmora", "IPv6 pinholes: not offered"));
}

QString Firewall(const FirewallStatus& status)
{
    if (!status.answered)
        return Tr(QT_TRANSLATE_NOOP("velmora", "IPv6 firewall: not told (%1)"))
            .arg(Words(status.problem));
    if (!status.enabled)
        return Tr(QT_TRANSLATE_NOOP("velmora", "IPv6 firewall: off"));
    return status.inboundAllowed
               ? Tr(QT_TRANSLATE_NOOP("velmora", "IPv6 firewall: on, inbound pinholes allowed"))
               : Tr(QT_TRANSLATE_NOOP("velmora",
                                      "IPv6 firewall: on, inbound pinholes not allowed"));
}

} // namespace

QString OfferLines(const OfferReport& report)
{
    // A router that offers neither has its report of old.
    if (!report.offer.upnpFirewall && !report.offer.pcp)
        return {};
    QStringList lines{Mappings(report), Pinholes(report.offer)};
    if (report.firewall)
        lines << Firewall(*report.firewall);
    return lines.join("\n");
}

} // namespace velmora
