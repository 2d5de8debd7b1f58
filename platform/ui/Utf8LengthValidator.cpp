#include "platform/ui/Utf8LengthValidator.h"

namespace velmora {

Utf8LengthValidator::Utf8LengthValidator(int maxBytes, QObject* parent)
    : QValidator(parent), maxBytes_(maxBytes)
{
}

QValidator::State Utf8LengthValidator::validate(QString& input, int&) const
{
    return input.toUtf8().size() <= maxBytes_ ? Acceptable : Invalid;
}

} // namespace velmora
