#pragma once

#include <QValidator>

namespace velmora {

// Refuses an edit that would make the text longer than a record field holds
// (counted in UTF-8 bytes, as the field stores it), so what the user sees is
// what gets stored and a text is never cut when it is copied into its field.
class Utf8LengthValidator final : public QValidator
{
    Q_OBJECT
public:
    Utf8LengthValidator(int maxBytes, QObject* parent);
    State validate(QString& input, int& position) const override;

private:
    int maxBytes_;
};

} // namespace velmora
