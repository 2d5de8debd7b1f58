// libFuzzer target: where an HTTP answer ends (Content-Length, or the end
// marker in a closing tag). The first byte picks the marker and the size of
// the reads, the rest is the answer, fed read by read as the exchange gets
// it: followed read by read, it is complete exactly from the first read after
// which the whole text so far is.
#include "upnp/core/HttpAnswerEnd.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static constexpr std::string_view kMarkers[] = {"Envelope>", "</root>", "</s:Envelope>", ""};
    if (size == 0)
        return 0;
    const std::string_view marker = kMarkers[data[0] % 4];
    const size_t read = 1 + (data[0] >> 2) % 16;
    const std::string_view answer(reinterpret_cast<const char*>(data) + 1, size - 1);

    if (const auto announced = velmora::AnnouncedAnswerSize(answer);
        announced && *announced < answer.find("\r\n\r\n") + 4)
        std::abort();
    if (const auto at = velmora::FindEndMarker(answer, marker);
        at && answer.substr(*at, marker.size()) != marker)
        std::abort();

    velmora::HttpAnswerEnd end(marker);
    size_t got = 0;
    bool complete = false;
    while (!complete && got < answer.size()) {
        const size_t before = got;
        got = std::min(answer.size(), got + read);
        complete = end.complete(answer.substr(0, got), before);
        if (complete && before > 0 &&
            velmora::HttpAnswerComplete(answer.substr(0, before), marker, 0))
            std::abort(); // complete already before this read
    }
    if (complete != velmora::HttpAnswerComplete(answer.substr(0, got), marker, 0))
        std::abort();
    return 0;
}
