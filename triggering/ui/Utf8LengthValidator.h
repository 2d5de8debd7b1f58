#pragma once

#include <QValidator>

// Refuses input whose UTF-8 form is longer than a record field can hold, so
// a text is never cut when it is copied into its fixed-width field.
class Utf8LengthValidator final : public QValidator
{
    Q_OBJECT
public:
    Utf8LengthValidator(int maxBytes, QObject* parent);
    State validate(QString& input, int& position) const override;

private:
    int maxBytes_;
};
