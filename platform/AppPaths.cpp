#include "platform/AppPaths.h"

#include "platform/XdgFolders.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace velmora {
namespace {

constexpr const char* kFolder = "/velmora/";

bool Fail(std::string* reason, const std::string& what)
{
    if (reason)
        *reason = what;
    return false;
}

bool IsDirectory(const std::string& path)
{
    struct stat info
    {
    };
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string ParentOf(const std::string& path)
{
    auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// mkdir -p with mode 0700 for the folders it makes.
bool MakeFolders(const std::string& folder, std::string* reason)
{
    if (folder.empty() || IsDirectory(folder))
        return true;
    if (!MakeFolders(ParentOf(folder), reason))
        return false;
    if (::mkdir(folder.c_str(), 0700) == 0 || (errno == EEXIST && IsDirectory(folder)))
        return true;
    return Fail(reason, "cannot create " + folder + ": " + std::strerror(errno));
}

// Copies `from` to `to` unless `to` exists: the copy is written under a
// temporary name and linked into place, so a reader never sees half a file
// and a file that appeared meanwhile is kept.
bool CopyIfAbsent(const std::string& from, const std::string& to, std::string* reason)
{
    struct stat info
    {
    };
    if (::lstat(to.c_str(), &info) == 0)
        return true;
    if (::access(from.c_str(), R_OK) != 0)
        return true; // nothing shipped: the catalogue starts empty
    std::string temporary = to + ".new" + std::to_string(::getpid());
    std::error_code ec;
    std::filesystem::copy_file(from, temporary, std::filesystem::copy_options::overwrite_existing,
                               ec);
    if (ec)
        return Fail(reason, "cannot copy " + from + ": " + ec.message());
    int linked = ::link(temporary.c_str(), to.c_str());
    int saved = errno;
    ::unlink(temporary.c_str());
    if (linked != 0 && saved != EEXIST)
        return Fail(reason, "cannot create " + to + ": " + std::strerror(saved));
    return true;
}

} // namespace

std::string PackageDataDirFor(const std::string& programDir)
{
    std::string folder = programDir;
    while (!folder.empty() && folder.back() == '/')
        folder.pop_back();
    auto slash = folder.rfind('/');
    if (slash == std::string::npos || folder.compare(slash + 1, std::string::npos, "bin") != 0)
        return {};
    return folder.substr(0, slash) + "/share/velmora/";
}

AppPaths ChooseAppPaths(const AppPathsFacts& facts)
{
    const std::string& dir = facts.programDir;
    bool installed = !facts.packageDataDir.empty() || !facts.programDirWritable;
    bool homeKnown =
        !facts.configHome.empty() && !facts.stateHome.empty() && !facts.dataHome.empty();
    if (!installed || !homeKnown)
        return {AppPathsMode::Portable,
                dir + "config.xml",
                dir + "log/velmora.log",
                dir + "ports_list.txt",
                {}};
    return {AppPathsMode::Installed, facts.configHome + kFolder + "config.xml",
            facts.stateHome + kFolder + "log/velmora.log",
            facts.dataHome + kFolder + "ports_list.txt",
            facts.packageDataDir.empty() ? std::string() : facts.packageDataDir + "ports_list.txt"};
}

AppPaths AppPathsFor(const std::string& programDir)
{
    AppPathsFacts facts;
    facts.programDir = programDir;
    facts.programDirWritable = ::access(programDir.c_str(), W_OK) == 0;
    std::string shared = PackageDataDirFor(programDir);
    if (!shared.empty() && IsDirectory(shared))
        facts.packageDataDir = shared;
    facts.configHome = XdgConfigHome();
    facts.stateHome = XdgStateHome();
    facts.dataHome = XdgDataHome();
    return ChooseAppPaths(facts);
}

bool PrepareAppPaths(const AppPaths& paths, std::string* reason)
{
    if (paths.mode == AppPathsMode::Portable)
        return true;
    for (const std::string* file : {&paths.config, &paths.log, &paths.catalogue})
        if (!MakeFolders(ParentOf(*file), reason))
            return false;
    if (paths.shippedCatalogue.empty())
        return true;
    return CopyIfAbsent(paths.shippedCatalogue, paths.catalogue, reason);
}

} // namespace velmora
