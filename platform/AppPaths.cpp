#include "platform/AppPaths.h"

#include "platform/XdgFolders.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
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

// Copies the bytes of descriptor `in` to `out`; errno on failure.
int CopyBytes(int in, int out)
{
    char buffer[64 * 1024];
    for (;;) {
        ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return errno;
        if (got == 0)
            return ::fsync(out) == 0 ? 0 : errno;
        for (ssize_t done = 0; done < got;) {
            ssize_t put = ::write(out, buffer + done, static_cast<size_t>(got - done));
            if (put < 0 && errno != EINTR)
                return errno;
            done += put > 0 ? put : 0;
        }
    }
}

// Copies `from` to `to` unless `to` exists: the copy is written to a new file
// of an unpredictable name, created exclusively, and linked into place, so a
// reader never sees half a file, a file that appeared meanwhile is kept, and
// nothing planted in the folder is written through.
bool CopyIfAbsent(const std::string& from, const std::string& to, std::string* reason)
{
    struct stat info
    {
    };
    if (::lstat(to.c_str(), &info) == 0)
        return true;
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return true; // nothing shipped: the file starts missing or empty
    std::string temporary = to + ".XXXXXX";
    const int out = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (out < 0) {
        const int saved = errno;
        ::close(in);
        return Fail(reason, "cannot create a file beside " + to + ": " + std::strerror(saved));
    }
    const int copied = CopyBytes(in, out);
    ::close(in);
    const int closed = ::close(out) == 0 ? 0 : errno;
    int linked = copied == 0 && closed == 0 ? ::link(temporary.c_str(), to.c_str()) : -1;
    int saved = copied ? copied : closed ? closed : errno;
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
                {},
                {}};
    const auto shipped = [&](const char* name) {
        return facts.packageDataDir.empty() ? std::string() : facts.packageDataDir + name;
    };
    return {AppPathsMode::Installed,
            facts.configHome + kFolder + "config.xml",
            facts.stateHome + kFolder + "log/velmora.log",
            facts.dataHome + kFolder + "ports_list.txt",
            shipped("ports_list.txt"),
            shipped("config.xml")};
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
    // The default config.xml is for a first start only: once the folder is
    // there, a config.xml that went missing is news the user must hear of.
    const bool firstStart = !IsDirectory(ParentOf(paths.config));
    for (const std::string* file : {&paths.config, &paths.log, &paths.catalogue})
        if (!MakeFolders(ParentOf(*file), reason))
            return false;
    if (firstStart && !paths.shippedConfig.empty() &&
        !CopyIfAbsent(paths.shippedConfig, paths.config, reason))
        return false;
    if (paths.shippedCatalogue.empty())
        return true;
    return CopyIfAbsent(paths.shippedCatalogue, paths.catalogue, reason);
}

} // namespace velmora
