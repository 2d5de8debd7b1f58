#include "catalogue/core/CatalogueFile.h"
#include "catalogue/core/CatalogueLine.h"
#include "forwarding/core/PortList.h"
#include "tests/support/TempDir.h"

#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <sstream>

namespace {

std::string Trimmed(const std::string& text)
{
    const char* blanks = " \t\r\n";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

} // namespace

// Every line of the catalogue shipped with the program, read the way the
// window reads it: a name, port lists the entry dialog accepts and that name
// real ports, one piece per line, no name twice.
TEST(ShippedCatalogue, EveryLineIsAnApplicationWithValidPorts)
{
    std::ifstream in(SHIPPED_CATALOGUE, std::ios::binary);
    ASSERT_TRUE(in) << SHIPPED_CATALOGUE;
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::string text = bytes.str();
    ASSERT_FALSE(text.empty());
    ASSERT_EQ(text.back(), '\n');

    size_t lines = 0;
    std::istringstream lineStream(text);
    for (std::string line; std::getline(lineStream, line); ++lines)
        EXPECT_LT(line.size() + 1, velmora::kCatalogueLineLimit) << line;

    // A copy: the reader opens its file for appending.
    velmora::test::TempDir dir;
    dir.write("ports_list.txt", text);
    std::vector<velmora::CatalogueRecord> records;
    ASSERT_TRUE(velmora::ReadCatalogue(dir.file("ports_list.txt"), "ALL", records));
    EXPECT_EQ(records.size(), lines);
    EXPECT_GE(records.size(), 150u);

    std::set<std::string> names;
    for (const auto& record : records) {
        const std::string name = Trimmed(record.name);
        EXPECT_FALSE(name.empty()) << "a line without a name";
        EXPECT_EQ(name, record.name) << "blank around a name or a line without ports: " << name;
        EXPECT_TRUE(names.insert(name).second) << "named twice: " << name;
        const std::string tcp = Trimmed(record.tcpPorts);
        const std::string udp = Trimmed(record.udpPorts);
        EXPECT_FALSE(tcp.empty() && udp.empty()) << name;
        for (const auto& list : {tcp, udp}) {
            EXPECT_EQ(velmora::FirstBadRange(list), std::nullopt) << name << ": " << list;
            EXPECT_EQ(velmora::ExpandPortList(list).invalid, 0) << name << ": " << list;
            EXPECT_EQ(list.find(' '), std::string::npos) << name << ": " << list;
        }
    }
}
