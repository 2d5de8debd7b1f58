// libFuzzer target: the description answer as it comes in (status line,
// Content-Length, chunked coding, the end of the root element), split into
// pieces where the input has a 0xFF byte, as reads would split it.
#include "router/core/DescriptionAnswer.h"
#include "router/core/DescriptionFetch.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    velmora::DescriptionAnswer answer;
    velmora::DescriptionAnswer::State state = velmora::DescriptionAnswer::State::Reading;
    std::string whole; // what was fed, without the separators
    for (size_t at = 0; at <= text.size() && state == velmora::DescriptionAnswer::State::Reading;) {
        size_t end = text.find('\xff', at);
        if (end == std::string::npos)
            end = text.size();
        state = answer.add(text.data() + at, end - at);
        whole.append(text, at, end - at);
        at = end + 1;
    }
    if (state == velmora::DescriptionAnswer::State::Whole) {
        // Only a 200 answer is ever whole, and its body is no longer than it.
        if (whole.size() < 12 || whole.compare(0, 7, "HTTP/1.") != 0 ||
            whole.compare(9, 3, "200") != 0)
            std::abort();
        if (answer.takeBody().size() > whole.size())
            std::abort();
    }
    // Reading chunks piece by piece and at once agree.
    std::string once, pieces;
    size_t at = 0;
    const bool done = velmora::Dechunk(text, once);
    velmora::ChunkedState chunked = velmora::ChunkedState::NeedMore;
    for (size_t end = 0; end <= text.size() && chunked == velmora::ChunkedState::NeedMore; end += 7)
        chunked = velmora::ReadChunks(std::string_view(text).substr(0, end), at, pieces);
    if (chunked == velmora::ChunkedState::NeedMore)
        chunked = velmora::ReadChunks(text, at, pieces);
    if (done != (chunked == velmora::ChunkedState::Done) || (done && once != pieces))
        std::abort();
    return 0;
}
