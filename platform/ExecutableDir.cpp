#include "platform/ExecutableDir.h"

#include <filesystem>
#include <system_error>

namespace velmora {

std::string ExecutablePath()
{
    std::error_code ec;
    auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : path.string();
}

std::string ExecutableDir()
{
    std::string path = ExecutablePath();
    auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return "./";
    return path.substr(0, slash + 1);
}

} // namespace velmora
