#include "platform/ui/FormButtons.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

QPushButton* MakeFormButton(const QString& text, const char* objectName, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(objectName);
    button->setAccessibleName(text);
    button->setAutoDefault(false);
    return button;
}

QDialogButtonBox* MakeOkButtonBox(QDialog* dialog)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, dialog);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("okButton");
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    return buttons;
}

MaintenanceButtons MakeMaintenanceButtons(QWidget* parent)
{
    MaintenanceButtons buttons;
    buttons.group = new QGroupBox("Maintenance", parent);
    buttons.add = MakeFormButton("Add", "addButton", buttons.group);
    buttons.edit = MakeFormButton("Edit", "editButton", buttons.group);
    buttons.remove = MakeFormButton("Delete", "deleteButton", buttons.group);
    auto* row = new QHBoxLayout(buttons.group);
    row->addWidget(buttons.add);
    row->addWidget(buttons.edit);
    row->addWidget(buttons.remove);
    return buttons;
}

void LayOutListPage(QWidget* page, QWidget* list, QGroupBox* maintenance, int maintenanceStretch,
                    QGroupBox* operation, int operationStretch)
{
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(maintenance, maintenanceStretch);
    buttons->addWidget(operation, operationStretch);
    auto* column = new QVBoxLayout(page);
    column->addWidget(list, 1);
    column->addLayout(buttons);
}
