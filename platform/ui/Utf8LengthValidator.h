#pragma once

#include <QValidator>

namespace velmora {

// Keeps an edit's text within a number of UTF-8 bytes (the way a record
// field and the configuration reader count it). With Overflow::Cut, typed or
// pasted text that would go over the limit is cut on a character boundary, as
// far as it does not fit, the way a maximum length cuts an insertion, and text
// set from outside is cut the same way. With Overflow::Refuse an edit that
// would go over is refused whole (text set from outside stays as set, for the
// dialog's own check to refuse).
class Utf8LengthValidator final : public QValidator
{
    Q_OBJECT
public:
    enum class Overflow
    {
        Cut,
        Refuse
    };

    Utf8LengthValidator(int maxBytes, QObject* parent, Overflow overflow = Overflow::Refuse);

    State validate(QString& input, int& position) const override;

    // The longest prefix of `text` of at most `maxBytes` UTF-8 bytes that
    // does not split a character.
    static QString CutToBytes(const QString& text, int maxBytes);

private:
    int maxBytes_;
    Overflow overflow_;
    mutable QString last_; // the text last accepted
};

} // namespace velmora
