#include "forwarding/ui/RouterMonitor.h"

#include "forwarding/core/MonitoredRouterFor.h"
#include "platform/ui/GuiRelay.h"
#include "platform/ui/Words.h"
#include "router/core/BootIdListener.h"

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

void RouterMonitor::apply()
{
    listener_.reset();
    if (!enabled_ || !router_) {
        monitor_->setRouter(nullptr);
        return;
    }
    const velmora::MonitorTarget target =
        velmora::MonitoredRouterFor(*router_, keeper_, natPmpLifetime_, book_);
    monitor_->setRouter(target.router);
    if (target.announces && options_.watchAnnouncements)
        listener_ = velmora::RestartListenerFor(*router_, *monitor_);
}

} // namespace velmora
