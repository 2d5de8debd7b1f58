#pragma once

#include "router/core/RouterScan.h"
#include "tests/lab/LabEnvironment.h"

#include <cstdio>
#include <string>

namespace velmora::test {

// Runs one real scan inside the lab and keeps its diagnostic lines.
struct LabScan
{
    RouterList routers;
    std::string diagnostics;
};

inline LabScan RunLabScan(const std::vector<std::string>& addresses)
{
    LabScan scan;
    std::FILE* out = std::tmpfile();
    scan.routers = ScanRouters(addresses, NetworkScanSteps(), out);
    if (out) {
        std::rewind(out);
        char buffer[1024];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, out)) > 0)
            scan.diagnostics.append(buffer, n);
        std::fclose(out);
    }
    return scan;
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

inline std::vector<std::string> BoxLines(const RouterList& list)
{
    return RouterBoxLines(list);
}

} // namespace velmora::test
