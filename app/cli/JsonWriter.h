#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::cli {

// Builds one compact JSON document. Texts that are not UTF-8 keep their valid
// characters; each stray byte becomes U+FFFD, so the document always parses.
class JsonWriter final
{
public:
    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    // The name of the next member of an object.
    JsonWriter& key(std::string_view name);

    JsonWriter& value(std::string_view text);
    JsonWriter& value(const char* text) { return value(std::string_view(text)); }
    JsonWriter& value(const std::string& text) { return value(std::string_view(text)); }
    JsonWriter& value(int64_t number);
    JsonWriter& value(bool flag);
    JsonWriter& null();
    // A text, or null when there is none.
    JsonWriter& value(const std::optional<std::string>& text);
    // A member with a text value.
    JsonWriter& member(std::string_view name, std::string_view text);

    const std::string& text() const { return text_; }

private:
    JsonWriter& open(char bracket);
    JsonWriter& close(char bracket);
    // A comma before every value but the first of its container.
    void separate();

    std::string text_;
    std::vector<bool> first_; // per open container: no value in it yet
    bool afterKey_ = false;
};

// A port number from a router's text, or nothing when it is not one.
std::optional<int64_t> PortNumber(std::string_view text);

} // namespace velmora::cli
