#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace velmora {

// The answer to a description GET as it comes in, piece by piece: whole when
// its Content-Length is in, its last chunk read, or (with neither) the end
// of its root element; refused as soon as it is not "HTTP/1.x 200", grows
// past kMaxDescriptionAnswer (or announces so) or breaks its chunked coding.
class DescriptionAnswer final
{
public:
    enum class State
    {
        Reading,
        Whole,
        Refused
    };

    State add(const char* data, size_t size);
    // The peer closed: whole only for a body with neither length nor chunks.
    bool wholeAtClose() const;
    // The body of a whole answer (de-chunked).
    std::string takeBody();

private:
    std::string text_;
    std::optional<size_t> headEnd_;
    std::optional<size_t> announced_;
    bool chunked_ = false;
    size_t chunkAt_ = 0;
    std::string body_;
};

} // namespace velmora
