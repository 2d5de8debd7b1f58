#pragma once

#include "router/core/RouterScan.h"
#include "tests/lab/LabEnvironment.h"

#include <cstdio>
#include <string>

namespace velmora::test {

// Everything written to `file`, which it closes.
inline std::string ReadAndClose(std::FILE* file)
{
    std::string text;
    if (!file)
        return text;
    std::rewind(file);
    for (int c; (c = std::fgetc(file)) != EOF;)
        text += static_cast<char>(c);
    std::fclose(file);
    return text;
}

// Runs one real scan inside the lab and keeps its diagnostic lines.
struct LabScan
{
    RouterList routers;
    std::string diagnostics;
};

inline LabScan RunLabScan(const std::vector<std::string>& addresses)
{
    std::FILE* out = std::tmpfile();
    RouterList routers = ScanRouters(addresses, NetworkScanSteps(), out);
    return {routers, ReadAndClose(out)};
}

// (Re)starts the lab router in `mode`. A start is tried three times: the lab
// script sometimes takes a miniupnpd that has not yet entered its namespace
// for one that exited.
inline bool UseRouter(lab::LabEnvironment& lab, lab::RouterMode mode, std::string* output = nullptr)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        lab::ExecResult result =
            lab.script({"router", lab.prefix(), "restart", "--mode", lab::RouterModeName(mode)});
        lab.refreshInfo();
        if (result.ok())
            return true;
        if (output)
            *output += result.output;
    }
    return false;
}

} // namespace velmora::test
