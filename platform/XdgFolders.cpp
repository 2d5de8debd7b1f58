#include "platform/XdgFolders.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace velmora {
namespace {

std::string Trimmed(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string FromEnvironment(const char* name, const char* defaultUnderHome)
{
    return XdgFolder(std::getenv(name), HomeFolder(), defaultUnderHome);
}

} // namespace

std::string HomeFolder()
{
    const char* home = std::getenv("HOME");
    if (home && *home == '/')
        return Trimmed(home);
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir && found->pw_dir[0] == '/')
        return Trimmed(found->pw_dir);
    return {};
}

std::string XdgFolder(const char* variable, const std::string& home, const char* defaultUnderHome)
{
    // Relative values are invalid under the rules and are ignored.
    if (variable && variable[0] == '/')
        return Trimmed(variable);
    if (home.empty())
        return {};
    return (home == "/" ? std::string() : home) + "/" + defaultUnderHome;
}

std::string XdgConfigHome()
{
    return FromEnvironment("XDG_CONFIG_HOME", ".config");
}

std::string XdgStateHome()
{
    return FromEnvironment("XDG_STATE_HOME", ".local/state");
}

std::string XdgDataHome()
{
    return FromEnvironment("XDG_DATA_HOME", ".local/share");
}

} // namespace velmora
