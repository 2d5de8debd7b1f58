#pragma once

#include <fstream>
#include <sstream>
#include <string>

namespace velmora::test {

// A file of tests/upnp/data, whole; empty when it cannot be read.
inline std::string ReadTestData(const std::string& relative)
{
    std::ifstream in(std::string(VELMORA_UPNP_TEST_DATA) + "/" + relative, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The value of `key` in `section` of a .values file ("section:" lines, then
// " key = value" lines).
inline std::string ValuesEntry(const std::string& values, const std::string& section,
                               const std::string& key)
{
    std::istringstream in(values);
    std::string line;
    bool inSection = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] != ' ' && line.back() == ':') {
            inSection = line == section + ":";
            continue;
        }
        const std::string lead = " " + key + " = ";
        if (inSection && line.rfind(lead, 0) == 0)
            return line.substr(lead.size());
    }
    return {};
}

} // namespace velmora::test
