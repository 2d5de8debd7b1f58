#include "catalogue/ui/CatalogueDialogParts.h"

#include "catalogue/ui/CatalogueTexts.h"
#include "platform/ui/Utf8LengthValidator.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>

namespace velmora::catalogue_ui {

QLineEdit* MakeEdit(const char* objectName, int maxBytes, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(objectName);
    if (maxBytes > 0)
        edit->setValidator(
            new Utf8LengthValidator(maxBytes, edit, Utf8LengthValidator::Overflow::Refuse));
    return edit;
}

QLabel* BuddyLabel(const char* text, QLineEdit* edit, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setBuddy(edit);
    edit->setAccessibleName(QString(text).trimmed());
    return label;
}

QDialogButtonBox* OkCancel(QDialog* dialog)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    buttons->setObjectName("buttons");
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

void ShowError(QWidget* owner, const QString& text)
{
    QMessageBox box(QMessageBox::Critical, catalogue_texts::kErrorCaption, text, QMessageBox::Ok,
                    owner);
    box.exec();
}

} // namespace velmora::catalogue_ui
