#include "platform/ui/FormFields.h"

#include "platform/ui/Utf8LengthValidator.h"

#include <QLabel>
#include <QLineEdit>

namespace velmora {

QLineEdit* MakeEdit(const char* objectName, int maxBytes, QWidget* parent,
                    Utf8LengthValidator::Overflow overflow)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(objectName);
    if (maxBytes > 0)
        edit->setValidator(new Utf8LengthValidator(maxBytes, edit, overflow));
    return edit;
}

QLabel* BuddyLabel(const QString& text, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    buddy->setAccessibleName(text.trimmed());
    return label;
}

} // namespace velmora
