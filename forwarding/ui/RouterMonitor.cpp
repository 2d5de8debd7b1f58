#include "forwarding/ui/RouterMonitor.h"

#include "forwarding/core/DualStackMonitoredRouter.h"
#include "forwarding/core/NatPmpMonitoredRouter.h"
#include "forwarding/core/UpnpMonitoredRouter.h"
#include "platform/ui/GuiRelay.h"
#include "platform/ui/Words.h"
#include "router/core/BootIdListener.h"
#include "router/core/RouterOffer.h"
#include "upnp/core/UrlParts.h"

namespace velmora {

RouterMonitor::RouterMonitor(velmora::NatPmpLeaseKeeper& keeper, QObject* parent)
    : QObject(parent), keeper_(keeper), relay_(velmora::GuiRelay::create(this))
{
    makeMonitor();
}

RouterMonitor::~RouterMonitor()
{
    relay_->cut();
    listener_.reset();
    monitor_.reset();
}

void RouterMonitor::makeMonitor()
{
    listener_.reset();
    monitor_.reset();
    monitor_ = std::make_unique<velmora::MappingMonitor>(
        [relay = relay_, this](const velmora::MonitorReport& report) {
            QStringList lines;
            for (const auto& line : report.lines)
                lines << QString::fromStdString(line);
            relay->post([this, lines, balloon = report.balloon] {
                emit reported(lines, velmora::Words(balloon));
            });
        },
        options_);
    monitor_->setMappings(mappings_);
    apply();
}

void RouterMonitor::setOptions(const velmora::MonitorOptions& options)
{
    options_ = options;
    makeMonitor();
}

void RouterMonitor::setEnabled(bool enabled)
{
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    apply();
}

void RouterMonitor::setRouter(RouterEntryPtr router, uint32_t natPmpLifetime)
{
    if (router == router_ && natPmpLifetime == natPmpLifetime_)
        return;
    router_ = std::move(router);
    natPmpLifetime_ = natPmpLifetime;
    apply();
}

void RouterMonitor::setMappings(std::vector<velmora::WatchedMapping> mappings)
{
    mappings_ = std::move(mappings);
    monitor_->setMappings(mappings_);
}

bool RouterMonitor::listening() const
{
    return listener_ && listener_->listening();
}

bool RouterMonitor::monitorDualStack()
{
    // Pinholes (once the offer is known) and PCP mappings in place of NAT-PMP.
    const velmora::LeaseRoute pcp = velmora::PcpMappingRouteOf(*router_);
    const std::optional<velmora::RouterOffer> offer = velmora::KnownOfferOf(*router_);
    const velmora::LeaseRoute pinholes = offer ? offer->pinholes : velmora::LeaseRoute{};
    if (!book_ || (!pcp && !pinholes))
        return false;
    std::shared_ptr<velmora::MonitoredRouter> ipv4;
    velmora::RouterEndpoint endpoint;
    if (!pcp) {
        if (router_->is_apple)
            return false; // NAT-PMP's epoch watch has no place beside pinholes
        endpoint = velmora::EndpointOf(*router_);
        ipv4 = std::make_shared<velmora::UpnpMonitoredRouter>(endpoint);
    }
    monitor_->setRouter(std::make_shared<velmora::DualStackMonitoredRouter>(ipv4, book_, pinholes,
                                                                            pcp, natPmpLifetime_));
    if (ipv4 && options_.watchAnnouncements)
        listen(endpoint);
    return true;
}

void RouterMonitor::listen(const velmora::RouterEndpoint& endpoint)
{
    std::string host;
    uint16_t port = 0;
    std::string path;
    if (!parseUrl(endpoint.controlUrl, host, port, path))
        return;
    velmora::MappingMonitor* monitor = monitor_.get();
    listener_ = std::make_unique<BootIdListener>(
        router_->lan_address, host, [monitor](const std::string& why) { monitor->checkSoon(why); });
}

void RouterMonitor::apply()
{
    listener_.reset();
    if (!enabled_ || !router_) {
        monitor_->setRouter(nullptr);
        return;
    }
    if (monitorDualStack())
        return;
    if (router_->is_apple) {
        in_addr_t gateway = 0;
        {
            std::lock_guard lock(router_->natpmp_mutex);
            if (router_->natpmp_open)
                gateway = router_->natpmp.gateway;
        }
        monitor_->setRouter(
            std::make_shared<velmora::NatPmpMonitoredRouter>(gateway, keeper_, natPmpLifetime_));
        return;
    }
    const velmora::RouterEndpoint endpoint = velmora::EndpointOf(*router_);
    monitor_->setRouter(std::make_shared<velmora::UpnpMonitoredRouter>(endpoint));
    if (options_.watchAnnouncements)
        listen(endpoint);
}

} // namespace velmora
