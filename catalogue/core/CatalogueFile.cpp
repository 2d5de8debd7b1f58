#include "catalogue/core/CatalogueFile.h"

#include "catalogue/core/CatalogueLine.h"
#include "platform/DebugTrace.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace velmora {

namespace {

struct FileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// "a+" of the C library, but never through a symlink at the file's own name
// and closed on exec.
FilePtr OpenForReadingAndAppending(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    FilePtr file(fd >= 0 ? ::fdopen(fd, "a+") : nullptr);
    if (!file) {
        const int error = errno;
        DebugTrace("open idx errno is %d\n", error);
        if (fd >= 0)
            ::close(fd);
        errno = error;
    }
    return file;
}

// Whether the file holds text whose last byte is not a line end.
bool LastLineIsOpen(std::FILE* file)
{
    if (std::fseek(file, 0, SEEK_END) != 0 || std::ftell(file) <= 0 ||
        std::fseek(file, -1, SEEK_END) != 0)
        return false;
    const int last = std::fgetc(file);
    std::fseek(file, 0, SEEK_END); // a read and a write need a seek between them
    return last != EOF && last != '\n';
}

int Failed(std::string* reason)
{
    if (reason)
        *reason = std::strerror(errno);
    return -1;
}

bool ReadWhole(std::FILE* file, std::string& text)
{
    if (std::fseek(file, 0, SEEK_SET) != 0)
        return false;
    char chunk[64 * 1024];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        text.append(chunk, got);
    return !std::ferror(file);
}

// The next piece of `text` from `at`: up to and including a line end, at most
// kCatalogueLineLimit bytes, not cut inside a UTF-8 sequence.
std::string_view NextPiece(std::string_view text, size_t at)
{
    std::string_view rest = text.substr(at);
    size_t end = rest.find('\n');
    size_t length = end == std::string_view::npos ? rest.size() : end + 1;
    if (length > kCatalogueLineLimit)
        length = Utf8PrefixLength(rest, kCatalogueLineLimit);
    return rest.substr(0, length);
}

} // namespace

bool ReadCatalogue(const std::string& path, std::string_view filter,
                   std::vector<CatalogueRecord>& records)
{
    FilePtr file = OpenForReadingAndAppending(path);
    if (!file)
        return false;
    std::string text;
    const bool whole = ReadWhole(file.get(), text);
    file.reset();

    records.clear();
    for (size_t at = 0; at < text.size();) {
        std::string_view piece = NextPiece(text, at);
        at += piece.size();
        CatalogueRecord record = SplitCatalogueLine(piece);
        if (PassesCatalogueFilter(record.name, filter))
            records.push_back(std::move(record));
    }
    return whole;
}

int AppendCatalogueLine(const std::string& path, std::string_view name, std::string_view tcpPorts,
                        std::string_view udpPorts, std::string* reason)
{
    FilePtr file = OpenForReadingAndAppending(path);
    if (!file)
        return Failed(reason);
    std::string line = FormatCatalogueLine(name, tcpPorts, udpPorts);
    if (LastLineIsOpen(file.get()))
        line.insert(0, "\n"); // else the new line would run on from the last one
    if (std::fwrite(line.data(), 1, line.size(), file.get()) != line.size())
        return Failed(reason);
    // Buffered bytes meet a full disk only here.
    return std::fclose(file.release()) == 0 ? 0 : Failed(reason);
}

} // namespace velmora
