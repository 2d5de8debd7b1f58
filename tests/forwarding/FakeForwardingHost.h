#pragma once

#include "config/core/ConfigStore.h"
#include "forwarding/ui/ForwardingHost.h"
#include "platform/ui/ReportList.h"
#include "tests/config/RecordMakers.h"
#include "tests/support/TempDir.h"

#include <string>
#include <vector>

namespace velmora::test {

// The main window as the Port Forwarding tab sees it: a router flag, a
// selected router and a config.xml in a temp folder that saveConfig rewrites.
class FakeForwardingHost final : public ForwardingHost
{
public:
    explicit FakeForwardingHost(std::vector<ForwardingEntry>& entries) : entries_(entries)
    {
        SetField(settings_.auto_startup, "0");
        SetField(settings_.monitor_router, "1");
    }

    bool routerFound() const override { return found; }
    RouterEntryPtr selectedRouter() const override { return router; }
    bool saveConfig() override
    {
        ++saves;
        return ::SaveConfig(configPath(), settings_, {}, entries_, nullptr);
    }

    std::string configPath() const { return dir.file("config.xml"); }
    std::string configText() const { return dir.read("config.xml"); }
    std::vector<ForwardingEntry> reload() const { return LoadConfig(configPath()).forwardings; }

    bool found = false;
    RouterEntryPtr router;
    int saves = 0;
    TempDir dir;

private:
    std::vector<ForwardingEntry>& entries_;
    AppSettings settings_{};
};

inline ForwardingEntry MakeEntry(const char* name, const char* protocol, const char* ports,
                                 const char* ip, const char* type = "")
{
    return MakeForwarding(name, type, protocol, ports, ip);
}

inline void SelectRows(ReportList* list, std::initializer_list<int> rows)
{
    list->clearSelection();
    for (int row : rows)
        list->selectionModel()->select(list->model()->index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

} // namespace velmora::test
