#pragma once

#include <string>

namespace velmora {

// The program's files. Every path the program reads or writes comes from
// AppPathsFor, so one function decides where they live.
struct AppPaths
{
    std::string config;    // config.xml
    std::string log;       // log/velmora.log
    std::string catalogue; // ports_list.txt
};

// The files of a program whose executable lives in `programDir` (ending in
// '/'): beside the executable.
AppPaths AppPathsFor(const std::string& programDir);

} // namespace velmora
