#include "router/core/DescriptionAnswer.h"

#include "router/core/DescriptionFetch.h"
#include "upnp/core/HttpAnswerEnd.h"
#include "upnp/core/TextCompare.h"

#include <algorithm>
#include <string_view>

namespace velmora {

namespace {

bool HeadSaysChunked(std::string_view head)
{
    for (size_t at = head.find("\r\n"); at != std::string_view::npos;
         at = head.find("\r\n", at + 2)) {
        const std::string_view field = head.substr(at + 2, head.find("\r\n", at + 2) - at - 2);
        if (StartsWithIgnoreCase(field, "transfer-encoding:"))
            return field.find("chunked") != std::string_view::npos ||
                   field.find("Chunked") != std::string_view::npos;
    }
    return false;
}

// "HTTP/1.x 200 ...".
bool SaysOk(std::string_view answer)
{
    return answer.size() >= 12 && answer.substr(0, 7) == "HTTP/1." && answer[8] == ' ' &&
           answer.substr(9, 3) == "200";
}

} // namespace

DescriptionAnswer::State DescriptionAnswer::add(const char* data, size_t size)
{
    const size_t before = text_.size();
    text_.append(data, size);
    if (text_.size() > kMaxDescriptionAnswer)
        return State::Refused;
    if (!headEnd_) {
        const size_t end = text_.find("\r\n\r\n", before >= 3 ? before - 3 : 0);
        if (end == std::string::npos)
            return State::Reading;
        headEnd_ = end + 4;
        if (!SaysOk(text_))
            return State::Refused;
        chunked_ = HeadSaysChunked(std::string_view(text_).substr(0, end + 2));
        announced_ = AnnouncedAnswerSize(text_);
        if (announced_ && *announced_ > kMaxDescriptionAnswer)
            return State::Refused;
        chunkAt_ = *headEnd_;
    }
    if (chunked_) {
        switch (ReadChunks(text_, chunkAt_, body_)) {
        case ChunkedState::NeedMore:
            return State::Reading;
        case ChunkedState::Done:
            return State::Whole;
        case ChunkedState::Bad:
            return State::Refused;
        }
    }
    if (announced_)
        return text_.size() >= *announced_ ? State::Whole : State::Reading;
    // No length: the end of the root element, or the end of the connection.
    constexpr std::string_view kEnd = "</root>";
    const size_t from = std::max(*headEnd_, before >= kEnd.size() ? before - kEnd.size() : 0);
    return FindEndMarker(text_, kEnd, from) ? State::Whole : State::Reading;
}

bool DescriptionAnswer::wholeAtClose() const
{
    return headEnd_ && !chunked_ && !announced_;
}

std::string DescriptionAnswer::takeBody()
{
    if (!headEnd_)
        return {};
    if (chunked_)
        return std::move(body_);
    const size_t end = announced_ ? std::min(*announced_, text_.size()) : text_.size();
    return text_.substr(*headEnd_, end - *headEnd_);
}

} // namespace velmora
