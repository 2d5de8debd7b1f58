#include "platform/ui/Utf8LengthValidator.h"

#include <algorithm>

namespace velmora {
namespace {

int Utf8Bytes(const QString& text)
{
    return static_cast<int>(text.toUtf8().size());
}

// UTF-8 length of the character starting at `i` and how many UTF-16 units it takes.
int CharacterAt(const QString& text, qsizetype i, qsizetype* units)
{
    const char16_t unit = text[i].unicode();
    if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
        *units = 2;
        return 4;
    }
    *units = 1;
    if (unit < 0x80)
        return 1;
    if (unit < 0x800)
        return 2;
    return 3; // a lone surrogate goes out as U+FFFD, three bytes too
}

} // namespace

Utf8LengthValidator::Utf8LengthValidator(int maxBytes, QObject* parent, Overflow overflow)
    : QValidator(parent), maxBytes_(maxBytes), overflow_(overflow)
{
}

QString Utf8LengthValidator::CutToBytes(const QString& text, int maxBytes)
{
    int bytes = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        qsizetype units = 1;
        const int next = CharacterAt(text, i, &units);
        if (bytes + next > maxBytes)
            break;
        bytes += next;
        i += units;
    }
    return text.left(i);
}

QValidator::State Utf8LengthValidator::validate(QString& input, int& position) const
{
    if (Utf8Bytes(input) <= maxBytes_) {
        last_ = input;
        return Acceptable;
    }
    if (overflow_ == Overflow::Refuse)
        return Invalid;
    // The part that differs from the last accepted text is what was inserted;
    // keep as much of it as fits around what was already there.
    const qsizetype common = std::min(input.size(), last_.size());
    qsizetype prefix = 0;
    while (prefix < common && input[prefix] == last_[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < common - prefix &&
           input[input.size() - 1 - suffix] == last_[last_.size() - 1 - suffix])
        ++suffix;
    // Never split a surrogate pair at the seams.
    if (prefix > 0 && input[prefix - 1].isHighSurrogate())
        --prefix;
    if (suffix > 0 && input[input.size() - suffix].isLowSurrogate())
        --suffix;
    const QString before = input.left(prefix);
    const QString after = input.right(suffix);
    const int room = maxBytes_ - Utf8Bytes(before) - Utf8Bytes(after);
    if (room < 0) {
        input = CutToBytes(input, maxBytes_);
        position = static_cast<int>(std::min<qsizetype>(position, input.size()));
    } else {
        const QString inserted =
            CutToBytes(input.mid(prefix, input.size() - prefix - suffix), room);
        input = before + inserted + after;
        position = static_cast<int>(prefix + inserted.size());
    }
    last_ = input;
    return Acceptable;
}

} // namespace velmora
