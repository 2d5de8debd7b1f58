#pragma once

#include <string>

namespace velmora {

// Directory of the running executable, ending in '/'. Every file of the
// program (config.xml, ports_list.txt, log/velmora.log) is found by appending
// a fixed relative name to it.
std::string ExecutableDir();

// Full path of the running executable.
std::string ExecutablePath();

} // namespace velmora
