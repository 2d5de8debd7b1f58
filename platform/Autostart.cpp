#include "platform/Autostart.h"

#include "platform/FileTexts.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {
namespace {

// Whether `text` is well-formed UTF-8, as every value of a desktop entry must be.
bool IsUtf8(const std::string& text)
{
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const size_t length = lead < 0x80                    ? 1
                              : lead >= 0xC2 && lead <= 0xDF ? 2
                              : lead >= 0xE0 && lead <= 0xEF ? 3
                              : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                             : 0;
        if (length == 0 || i + length > text.size())
            return false;
        for (size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        i += length;
    }
    return true;
}

// Exec quoting of desktop entries: inside double quotes, '"', '`', '$' and
// '\' take a backslash; the value itself is a string in which '\' is written
// as "\\" and newline, tab and CR as "\n", "\t" and "\r" (a raw one would end the
// line, and a second Exec= could follow); '%' is a field code unless doubled.
// Other control characters have no escape in a desktop entry: "" then.
std::string QuotedExec(const std::string& path)
{
    if (!IsUtf8(path))
        return {};
    std::string exec = "\"";
    for (char c : path) {
        switch (c) {
        case '"':
        case '`':
        case '$':
            exec += "\\\\";
            exec += c;
            break;
        case '\\':
            exec += "\\\\\\\\";
            break;
        case '%':
            exec += "%%";
            break;
        case '\n':
            exec += "\\n";
            break;
        case '\t':
            exec += "\\t";
            break;
        case '\r':
            exec += "\\r";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
                return {};
            exec += c;
        }
    }
    exec += "\"";
    return exec;
}

constexpr char kEntryName[] = "velmora.desktop";

// The user's configuration folder, or "" when the environment names none.
std::string ConfigHome()
{
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg == '/')
        return xdg;
    const char* home = std::getenv("HOME");
    if (home && *home == '/')
        return std::string(home) + "/.config";
    return {};
}

bool Fail(Message* reason, Message text)
{
    if (reason)
        *reason = std::move(text);
    return false;
}

// Creates `folder` and its missing parents; errno on failure.
int MakeFolders(const std::string& folder)
{
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return errno;
        if (slash == std::string::npos)
            return 0;
    }
}

int WriteAll(int fd, const std::string& text)
{
    size_t done = 0;
    while (done < text.size()) {
        ssize_t written = ::write(fd, text.data() + done, text.size() - done);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        done += static_cast<size_t>(written);
    }
    return 0;
}

} // namespace

std::string AutostartEntryPath()
{
    const std::string home = ConfigHome();
    return home.empty() ? std::string() : home + "/autostart/" + kEntryName;
}

bool AutostartEntryPresent()
{
    const std::string path = AutostartEntryPath();
    struct stat info;
    return !path.empty() && ::stat(path.c_str(), &info) == 0;
}

std::string AutostartEntryText(const std::string& executablePath)
{
    const std::string exec = QuotedExec(executablePath);
    if (exec.empty())
        return {};
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Velmora\n"
           "Exec=" +
           exec +
           "\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

bool WriteAutostartEntry(const std::string& executablePath, Message* reason)
{
    const std::string path = AutostartEntryPath();
    if (path.empty())
        return Fail(reason, Message(file_texts::kNoHome));
    if (executablePath.empty() || executablePath.front() != '/')
        return Fail(reason, Message(file_texts::kOwnPathUnknown));
    const std::string text = AutostartEntryText(executablePath);
    if (text.empty())
        return Fail(reason, Message(file_texts::kPathNotCarried));
    if (int error = MakeFolders(path.substr(0, path.rfind('/'))))
        return Fail(reason, std::strerror(error));
    // Never through a symlink planted at the entry's name.
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return Fail(reason, std::strerror(errno));
    int error = WriteAll(fd, text);
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0) {
        ::unlink(path.c_str()); // a cut entry would start nothing, or something else
        return Fail(reason, std::strerror(error));
    }
    return true;
}

bool RemoveAutostartEntry(Message* reason)
{
    const std::string path = AutostartEntryPath();
    if (path.empty())
        return Fail(reason, Message(file_texts::kNoHome));
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        return Fail(reason, std::strerror(errno));
    return true;
}

} // namespace velmora
