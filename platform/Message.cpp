#include "platform/Message.h"

namespace velmora {

std::string FillPlaceholders(const std::string& pattern, const std::vector<std::string>& values)
{
    std::string out;
    out.reserve(pattern.size());
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            const auto index = static_cast<size_t>(pattern[i + 1] - '1');
            if (index < values.size()) {
                out += values[index];
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

std::string English(const Message& message)
{
    if (!message.text())
        return message.plain();
    std::vector<std::string> values;
    values.reserve(message.values().size());
    for (const Message& value : message.values())
        values.push_back(English(value));
    return FillPlaceholders(message.text()->english, values);
}

std::string English(const MessageList& pieces)
{
    std::string out;
    for (const Message& piece : pieces)
        out += English(piece);
    return out;
}

} // namespace velmora
