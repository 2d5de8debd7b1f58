#include "catalogue/core/CatalogueFile.h"

#include "catalogue/core/CatalogueLine.h"
#include "platform/DebugTrace.h"

#include <cerrno>
#include <cstdio>
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
        DebugTrace("open idx errno is %d\n", errno);
        if (fd >= 0)
            ::close(fd);
    }
    return file;
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
                        std::string_view udpPorts)
{
    FilePtr file = OpenForReadingAndAppending(path);
    if (!file)
        return -1;
    const std::string line = FormatCatalogueLine(name, tcpPorts, udpPorts);
    const bool written = std::fwrite(line.data(), 1, line.size(), file.get()) == line.size();
    return written && std::fclose(file.release()) == 0 ? 0 : -1;
}

} // namespace velmora
