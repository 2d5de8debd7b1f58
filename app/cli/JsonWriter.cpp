#include "app/cli/JsonWriter.h"

#include "app/cli/Utf8Check.h"

#include <charconv>
#include <cstdio>

namespace velmora::cli {

namespace {

void AppendQuoted(std::string& out, std::string_view text)
{
    out += '"';
    for (const Utf8Piece& piece : Utf8Pieces(text)) {
        if (!piece.valid) {
            out += kReplacementCharacter;
        } else if (piece.codePoint == '"' || piece.codePoint == '\\') {
            out += '\\';
            out += piece.bytes;
        } else if (piece.codePoint < 0x20 || piece.codePoint == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", piece.codePoint);
            out += escaped;
        } else {
            out += piece.bytes;
        }
    }
    out += '"';
}

} // namespace

void JsonWriter::separate()
{
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!first_.empty()) {
        if (!first_.back())
            text_ += ',';
        first_.back() = false;
    }
}

JsonWriter& JsonWriter::open(char bracket)
{
    separate();
    text_ += bracket;
    first_.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::close(char bracket)
{
    text_ += bracket;
    first_.pop_back();
    return *this;
}

JsonWriter& JsonWriter::beginObject()
{
    return open('{');
}

JsonWriter& JsonWriter::endObject()
{
    return close('}');
}

JsonWriter& JsonWriter::beginArray()
{
    return open('[');
}

JsonWriter& JsonWriter::endArray()
{
    return close(']');
}

JsonWriter& JsonWriter::key(std::string_view name)
{
    separate();
    AppendQuoted(text_, name);
    text_ += ':';
    afterKey_ = true;
    return *this;
}

JsonWriter& JsonWriter::value(std::string_view text)
{
    separate();
    AppendQuoted(text_, text);
    return *this;
}

JsonWriter& JsonWriter::value(int64_t number)
{
    separate();
    text_ += std::to_string(number);
    return *this;
}

JsonWriter& JsonWriter::value(bool flag)
{
    separate();
    text_ += flag ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::null()
{
    separate();
    text_ += "null";
    return *this;
}

JsonWriter& JsonWriter::value(const std::optional<std::string>& text)
{
    return text ? value(std::string_view(*text)) : null();
}

JsonWriter& JsonWriter::member(std::string_view name, std::string_view text)
{
    return key(name).value(text);
}

std::optional<int64_t> PortNumber(std::string_view text)
{
    int64_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || number < 0 || number > 65535)
        return std::nullopt;
    return number;
}

} // namespace velmora::cli
