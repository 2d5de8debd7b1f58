#pragma once

#include <initializer_list>
#include <string>
#include <vector>

// lupdate collects the English templates of the core through Qt's marker. It
// expands to the text itself; spelled exactly as Qt spells it, so that code
// which also includes Qt sees one definition.
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, x) x
#endif

namespace velmora {

// One English text of a message family: the family's translation context and
// the text, with %1 to %9 where the values go.
struct TextTemplate
{
    const char* context;
    const char* english;
};

// A text the core hands to whoever shows it: a template of a family's table
// and the values to fill in, or plain words (a name, an address, a number, a
// router's or the system's own words) that no one translates. A value may be
// a message itself. The window words it in the user's language; the activity
// log and the command line in English.
class Message final
{
public:
    Message() = default;
    // Plain words.
    Message(std::string plain) : plain_(std::move(plain)) {}
    Message(const char* plain) : plain_(plain) {}
    Message(const TextTemplate& text, std::initializer_list<Message> values = {})
        : text_(&text), values_(values)
    {
    }
    Message(const TextTemplate& text, std::vector<Message> values)
        : text_(&text), values_(std::move(values))
    {
    }

    // Null for plain words.
    const TextTemplate* text() const { return text_; }
    const std::string& plain() const { return plain_; }
    const std::vector<Message>& values() const { return values_; }
    bool empty() const { return !text_ && plain_.empty(); }

private:
    const TextTemplate* text_ = nullptr;
    std::string plain_;
    std::vector<Message> values_;
};

// Pieces of one text, read one after the other (a report of several lines).
using MessageList = std::vector<Message>;

// `pattern` with each %1 to %9 replaced by the value of that number, in one
// pass: a value that itself holds "%1" stays as it is. A number without a
// value, and any other '%', stay as written.
std::string FillPlaceholders(const std::string& pattern, const std::vector<std::string>& values);

// The message in English, as its template reads.
std::string English(const Message& message);
std::string English(const MessageList& pieces);

} // namespace velmora
