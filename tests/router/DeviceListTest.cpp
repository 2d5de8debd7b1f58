#include "router/core/UpnpDiscovery.h"

#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {

// A device list as miniupnpc's discovery hands it over (no network).
class DeviceList
{
public:
    void add(const char* descUrl, const char* st)
    {
        auto* device = static_cast<UPNPDev*>(std::calloc(1, sizeof(UPNPDev)));
        device->descURL = const_cast<char*>(descUrl);
        device->st = const_cast<char*>(st);
        devices_.push_back(device);
        for (size_t i = 0; i + 1 < devices_.size(); ++i)
            devices_[i]->pNext = devices_[i + 1];
    }
    ~DeviceList()
    {
        for (UPNPDev* device : devices_)
            std::free(device);
    }
    const UPNPDev* head() const { return devices_.empty() ? nullptr : devices_.front(); }

private:
    std::vector<UPNPDev*> devices_;
};

struct FakeFetch
{
    std::vector<std::string> fetched;
    RouterFetch function()
    {
        return [this](const char* url, unsigned, std::string& lines) {
            fetched.push_back(url);
            lines += "Local LAN ip address : 10.0.0.2\n";
            auto entry = std::make_shared<RouterEntry>();
            entry->description_url = url;
            return entry;
        };
    }
};

TEST(ReadDeviceList, OnlyVersionOneGatewaysAreFetched)
{
    DeviceList list;
    list.add("http://v1/", "urn:schemas-upnp-org:device:InternetGatewayDevice:1");
    list.add("http://v2/", "urn:schemas-upnp-org:device:InternetGatewayDevice:2");
    list.add("http://ip/", "urn:schemas-upnp-org:service:WANIPConnection:1");
    list.add("http://root/", "upnp:rootdevice");
    list.add("http://case/", "urn:schemas-upnp-org:device:internetgatewaydevice:1");
    FakeFetch fetch;
    UpnpRound round = ReadDeviceList(list.head(), fetch.function());
    EXPECT_TRUE(round.answered);
    EXPECT_EQ(fetch.fetched, std::vector<std::string>{"http://v1/"});
    ASSERT_EQ(round.devices.size(), 5u);
    EXPECT_TRUE(round.devices[0].router);
    for (size_t i = 1; i < 5; ++i)
        EXPECT_FALSE(round.devices[i].router) << i;
    EXPECT_EQ(round.devices[0].diagnostics,
              " desc: http://v1/\n st: urn:schemas-upnp-org:device:InternetGatewayDevice:1\n\n"
              "Local LAN ip address : 10.0.0.2\n");
    EXPECT_EQ(round.devices[1].diagnostics,
              " desc: http://v2/\n st: urn:schemas-upnp-org:device:InternetGatewayDevice:2\n\n");
}

TEST(ReadDeviceList, GatewayWithoutDescriptionUrlIsPassedOver)
{
    DeviceList list;
    list.add("", "urn:schemas-upnp-org:device:InternetGatewayDevice:1");
    list.add(nullptr, "urn:schemas-upnp-org:device:InternetGatewayDevice:1");
    list.add("http://x/", nullptr);
    FakeFetch fetch;
    UpnpRound round = ReadDeviceList(list.head(), fetch.function());
    EXPECT_TRUE(fetch.fetched.empty());
    EXPECT_EQ(round.devices.size(), 3u);
}

TEST(ReadDeviceList, AFailedDescriptionPassesTheDeviceOver)
{
    DeviceList list;
    list.add("http://a/", "urn:schemas-upnp-org:device:InternetGatewayDevice:1");
    UpnpRound round = ReadDeviceList(
        list.head(), [](const char*, unsigned, std::string&) { return RouterEntryPtr(); });
    ASSERT_EQ(round.devices.size(), 1u);
    EXPECT_FALSE(round.devices[0].router);
}

TEST(ReadDeviceList, NoListMeansNoAnswer)
{
    FakeFetch fetch;
    EXPECT_FALSE(ReadDeviceList(nullptr, fetch.function()).answered);
}

} // namespace
