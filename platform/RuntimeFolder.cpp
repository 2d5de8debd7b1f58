#include "platform/RuntimeFolder.h"

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {
namespace {

std::string TemporaryFolder()
{
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = tmp && *tmp == '/' ? tmp : "/tmp";
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

std::string OwnFolderInTemp()
{
    return TemporaryFolder() + "/velmora-" + std::to_string(::geteuid());
}

// A folder of ours that nobody else may write to, but others may look into,
// is closed to them as Qt would close it (it wants 0700 and says so).
void CloseIfOurs(const std::string& path)
{
    struct stat info
    {
    };
    if (::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() &&
        (info.st_mode & 022) == 0 && (info.st_mode & 077) != 0)
        ::chmod(path.c_str(), 0700);
}

bool RuntimeVariableIsPrivate()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || *runtime != '/')
        return false;
    CloseIfOurs(runtime);
    return IsPrivateFolder(runtime);
}

} // namespace

bool IsPrivateFolder(const std::string& path)
{
    struct stat info
    {
    };
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::geteuid() && (info.st_mode & 077) == 0;
}

std::string PrivateRuntimeFolder()
{
    if (RuntimeVariableIsPrivate())
        return std::getenv("XDG_RUNTIME_DIR");
    const std::string folder = OwnFolderInTemp();
    ::mkdir(folder.c_str(), 0700);
    CloseIfOurs(folder); // whatever the umask left
    return IsPrivateFolder(folder) ? folder : std::string();
}

void UsePrivateRuntimeFolder()
{
    if (RuntimeVariableIsPrivate())
        return;
    const std::string folder = PrivateRuntimeFolder();
    if (folder.empty()) {
        std::fprintf(stderr,
                     "Velmora: %s is not a folder that only you can use, so a second start of "
                     "Velmora will not find this one and bring it forward.\n",
                     OwnFolderInTemp().c_str());
        return;
    }
    ::setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
}

} // namespace velmora
