#include "platform/Autostart.h"

#include "platform/XdgFolders.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace velmora {
namespace {

// Exec quoting of desktop entries: inside double quotes, '"', '`', '$' and
// '\' take a backslash; the value itself is a string in which '\' is written
// as "\\"; '%' is a field code unless doubled.
std::string QuotedExec(const std::string& path)
{
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
        default:
            exec += c;
        }
    }
    exec += "\"";
    return exec;
}

} // namespace

std::string AutostartEntryPath()
{
    return XdgConfigHome() + "/autostart/velmora.desktop";
}

std::string AutostartEntryText(const std::string& executablePath)
{
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Velmora\n"
           "Exec=" +
           QuotedExec(executablePath) +
           "\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

bool WriteAutostartEntry(const std::string& executablePath, std::string* reason)
{
    std::filesystem::path path = AutostartEntryPath();
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << AutostartEntryText(executablePath);
    out.close();
    if (!out) {
        if (reason)
            *reason = std::strerror(errno);
        return false;
    }
    return true;
}

bool RemoveAutostartEntry(std::string* reason)
{
    std::error_code ec;
    std::filesystem::remove(AutostartEntryPath(), ec);
    if (ec) {
        if (reason)
            *reason = ec.message();
        return false;
    }
    return true;
}

} // namespace velmora
