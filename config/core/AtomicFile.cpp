#include "config/core/AtomicFile.h"

#include "platform/FileTexts.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {
namespace {

constexpr int kNameAttempts = 16;

std::string FolderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool Fail(Message* reason, const TextTemplate& text, const std::string& what, int error)
{
    if (reason)
        *reason = Message(text, {what, std::strerror(error)});
    return false;
}

// Owns the temporary file until it has been renamed into place.
class TemporaryFile final
{
public:
    explicit TemporaryFile(const std::string& target) : target_(target) {}
    ~TemporaryFile()
    {
        if (fd_ >= 0)
            ::close(fd_);
        if (!name_.empty())
            ::unlink(name_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // Creates a file of a fresh name beside the target; errno on failure.
    int Create()
    {
        std::random_device seed;
        std::mt19937 random(seed());
        for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
            char suffix[32];
            std::snprintf(suffix, sizeof suffix, ".%d.%08x.tmp", static_cast<int>(::getpid()),
                          static_cast<unsigned>(random()));
            std::string name = target_ + suffix;
            int fd =
                ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
            if (fd >= 0) {
                fd_ = fd;
                name_ = name;
                return 0;
            }
            if (errno != EEXIST)
                return errno;
        }
        return EEXIST;
    }

    int fd() const { return fd_; }
    const std::string& name() const { return name_; }

    // Closes the descriptor; errno on failure.
    int Close()
    {
        int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0 ? 0 : errno;
    }

    // The file now lives under the target's name: nothing left to remove.
    void Release() { name_.clear(); }

private:
    std::string target_;
    std::string name_;
    int fd_ = -1;
};

// Removes temporaries that an earlier save of `path` left when its process
// was killed between creating and renaming them: "NAME.PID.XXXXXXXX.tmp"
// of a process that no longer exists.
void RemoveStaleTemporaries(const std::string& path, const std::string& folder)
{
    const size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::string prefix = name + ".";
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view file = entry->d_name;
        if (file.size() <= prefix.size() + 4 || file.substr(0, prefix.size()) != prefix ||
            file.substr(file.size() - 4) != ".tmp")
            continue;
        char* end = nullptr;
        const long pid = std::strtol(entry->d_name + prefix.size(), &end, 10);
        if (pid <= 0 || !end || *end != '.' || pid == ::getpid())
            continue;
        if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

int WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return 0;
}

} // namespace

bool WriteFileAtomically(const std::string& path, std::string_view bytes, Message* reason)
{
    const std::string folder = FolderOf(path);
    RemoveStaleTemporaries(path, folder);
    TemporaryFile temporary(path);
    if (int error = temporary.Create())
        return Fail(reason, file_texts::kCannotCreateIn, folder, error);

    struct stat old_file;
    if (::stat(path.c_str(), &old_file) == 0 && S_ISREG(old_file.st_mode))
        ::fchmod(temporary.fd(), old_file.st_mode & 07777);

    if (int error = WriteAll(temporary.fd(), bytes))
        return Fail(reason, file_texts::kCannotWrite, temporary.name(), error);
    if (::fsync(temporary.fd()) != 0)
        return Fail(reason, file_texts::kCannotFlush, temporary.name(), errno);
    if (int error = temporary.Close())
        return Fail(reason, file_texts::kCannotClose, temporary.name(), error);
    if (::rename(temporary.name().c_str(), path.c_str()) != 0)
        return Fail(reason, file_texts::kCannotReplace, path, errno);
    temporary.Release();

    // Make the rename itself durable; the new contents are in place either way.
    int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

} // namespace velmora
