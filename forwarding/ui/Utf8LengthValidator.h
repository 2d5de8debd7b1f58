#pragma once

#include <QValidator>

// Refuses an edit that would make the text longer than a record field holds
// (counted in UTF-8 bytes, as the field stores it), so what the user sees is
// what gets stored.
class Utf8LengthValidator final : public QValidator
{
public:
    Utf8LengthValidator(int maxBytes, QObject* parent) : QValidator(parent), maxBytes_(maxBytes) {}

    State validate(QString& input, int&) const override
    {
        return input.toUtf8().size() <= maxBytes_ ? Acceptable : Invalid;
    }

private:
    int maxBytes_;
};
