// Records the lab router's answers as test data into the folder that
// VELMORA_UPNP_CAPTURE_DIR names: the SSDP answer, the description and the
// SOAP answers the unit tests read from tests/upnp/data/miniupnpd/. Run by
// hand (as root; it brings its own lab up), never by CTest.
#include "platform/DebugTrace.h"
#include "tests/lab/LabEnvironment.h"
#include "upnp/core/SoapRequest.h"
#include "upnp/core/UpnpClient.h"
#include "upnp/core/UrlParts.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>

namespace velmora::lab {
namespace {

void Save(const std::string& dir, const std::string& name, const std::string& bytes)
{
    std::ofstream(dir + "/" + name, std::ios::binary) << bytes;
}

std::string Soap(UpnpClient& client, const char* action, const std::string& arguments)
{
    std::string host, path;
    uint16_t port = 0;
    if (!parseUrl(client.control_url, host, port, path) || !client.tcp_connect(host, port))
        return {};
    const std::string answer = client.http_exchange(
        BuildSoapRequest(path, host, port, client.service_type, action, arguments), "Envelope>",
        10);
    client.tcp_sock.close();
    return answer;
}

} // namespace

TEST(UpnpLabCapture, RouterAnswers)
{
    const char* dir = std::getenv("VELMORA_UPNP_CAPTURE_DIR");
    ASSERT_NE(dir, nullptr) << "set VELMORA_UPNP_CAPTURE_DIR to the folder for the answers";
    LabEnvironment& lab = LabEnvironment::Instance();
    UpnpClient client;
    client.init_client(3);
    std::string ssdp;
    velmora::SetDebugTraceSink([&](const std::string& line) {
        if (ssdp.empty() && line.rfind("discovery:", 0) == 0)
            ssdp = line.substr(10, line.size() - 11);
    });
    ASSERT_TRUE(client.discovery());
    velmora::SetDebugTraceSink({});
    ASSERT_TRUE(client.parser_description());
    Save(dir, "ssdp_answer.txt", ssdp);
    Save(dir, "description.http", client.description);

    const std::string host = lab.lanHost();
    Save(dir, "add_ok.http",
         Soap(client, "AddPortMapping",
              AddPortMappingArguments(22001, "TCP", 32001, host, "capture")));
    Save(dir, "add_refused.http",
         Soap(client, "AddPortMapping",
              AddPortMappingArguments(22002, "TCP", 32002, "203.0.113.9", "elsewhere")));
    Save(dir, "entry_0.http",
         Soap(client, "GetGenericPortMappingEntry", GenericPortMappingEntryArguments(0)));
    Save(dir, "entry_end.http",
         Soap(client, "GetGenericPortMappingEntry", GenericPortMappingEntryArguments(1)));
    Save(dir, "external_ip.http", Soap(client, "GetExternalIPAddress", ""));
    Save(dir, "delete_ok.http",
         Soap(client, "DeletePortMapping", DeletePortMappingArguments(22001, "TCP")));
    Save(dir, "bad_action.http", Soap(client, "NoSuchAction", ""));
    EXPECT_TRUE(lab.routerMappings().empty());
}

} // namespace velmora::lab
