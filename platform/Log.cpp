#include "platform/Log.h"

#include "platform/ControlText.h"

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {
// 0 until the log is opened; afterwards the result of the open, also -1.
std::atomic<int> g_logDescriptor{0};

// The caller's message with its control characters written out, so that a
// name holding a newline cannot start a forged line; the one line end the
// caller's format supplies stays.
std::string EscapedMessage(std::string_view message)
{
    const bool lineEnd = !message.empty() && message.back() == '\n';
    if (lineEnd)
        message.remove_suffix(1);
    std::string escaped = velmora::EscapeControlCharacters(message);
    if (lineEnd)
        escaped.push_back('\n');
    return escaped;
}
} // namespace

int OpenLog(const char* path)
{
    // A symlink planted at the log's name must not redirect our lines elsewhere.
    int fd = ::open(path, O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    int saved = errno;
    g_logDescriptor.store(fd);
    if (fd < 0)
        return std::printf("open log file %s fail, errno is %d\n", path, saved);
    return fd;
}

namespace velmora {

std::string FormatLogLine(const std::tm& local, std::string_view message)
{
    char stamp[64];
    int length = std::snprintf(stamp, sizeof stamp,
                               "<%02d/%02d/%02d %02d:%02d:%02d>:", local.tm_mon + 1, local.tm_mday,
                               local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec);
    std::string line(stamp, length > 0 ? static_cast<size_t>(length) : 0);
    line.append(message.substr(0, kLogBufferSize));
    return line;
}

void CloseLogForTesting()
{
    int fd = g_logDescriptor.exchange(0);
    if (fd > 0)
        ::close(fd);
}

} // namespace velmora

void WriteLog(const char* format, ...)
{
    char message[velmora::kLogBufferSize + 1] = {};
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args); // cuts an over-long message
    va_end(args);

    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::string line = velmora::FormatLogLine(local, EscapedMessage(message));

    int fd = g_logDescriptor.load();
    if (fd != 0) {
        if (fd > 0) {
            ssize_t written =
                ::write(fd, line.data(), line.size()); // one write: lines never interleave
            (void)written;
        }
        return;
    }
    line.push_back('\n');
    std::fwrite(line.data(), 1, line.size(), stdout);
}
