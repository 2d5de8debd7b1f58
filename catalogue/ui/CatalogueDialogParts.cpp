#include "catalogue/ui/CatalogueDialogParts.h"

#include "catalogue/ui/CatalogueTexts.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>

namespace velmora::catalogue_ui {

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
