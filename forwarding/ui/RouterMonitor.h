#pragma once

#include "forwarding/core/MappingMonitor.h"
#include "router/core/RouterEntry.h"

#include <QObject>
#include <QStringList>
#include <memory>
#include <vector>

namespace velmora {

class BootIdListener;

class GuiRelay;
class LeaseBook;
class NatPmpLeaseKeeper;
struct RouterEndpoint;

// The mapping monitor of the Port Forwarding page: switched on and off by
// the monitor setting, pointed at the router in use, and, for a UPnP router,
// told at once when the router announces a restart. Its findings arrive on
// the GUI thread as reported().
class RouterMonitor final : public QObject
{
    Q_OBJECT
public:
    explicit RouterMonitor(velmora::NatPmpLeaseKeeper& keeper, QObject* parent = nullptr);
    ~RouterMonitor() override;

    // Shorter periods for tests; the monitor starts afresh.
    void setOptions(const velmora::MonitorOptions& options);
    void setEnabled(bool enabled);
    bool enabled() const { return enabled_; }
    // The router whose mappings are looked after (null: none); NAT-PMP
    // mappings are asked for `natPmpLifetime` seconds.
    void setRouter(RouterEntryPtr router, uint32_t natPmpLifetime);
    void setMappings(std::vector<velmora::WatchedMapping> mappings);
    // The pinholes and PCP mappings this program holds: looked after beside
    // the router's IPv4 mappings once its offer is known (offerKnown()).
    void setLeaseBook(std::shared_ptr<velmora::LeaseBook> book) { book_ = std::move(book); }
    // The router's offer has been found since setRouter(): watch it all.
    void offerKnown() { apply(); }
    const std::vector<velmora::WatchedMapping>& mappings() const { return mappings_; }

    uint64_t checks() const { return monitor_->checks(); }
    // Whether the router's announcements are being listened to.
    bool listening() const;

signals:
    void reported(const QStringList& lines, const QString& balloon);

private:
    void apply();
    void makeMonitor();

    velmora::NatPmpLeaseKeeper& keeper_;
    velmora::MonitorOptions options_;
    std::shared_ptr<velmora::GuiRelay> relay_;
    std::unique_ptr<velmora::MappingMonitor> monitor_;
    std::unique_ptr<BootIdListener> listener_; // goes before the monitor it calls
    RouterEntryPtr router_;
    std::shared_ptr<velmora::LeaseBook> book_;
    uint32_t natPmpLifetime_ = 0;
    std::vector<velmora::WatchedMapping> mappings_;
    bool enabled_ = false;
};

} // namespace velmora
