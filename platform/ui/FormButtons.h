#pragma once

#include <QString>

class QDialog;
class QDialogButtonBox;
class QGroupBox;
class QPushButton;
class QWidget;

// A push button named for tests and screen readers. It never acts as the
// default button: Enter does not press it unless it has the focus.
QPushButton* MakeFormButton(const QString& text, const char* objectName, QWidget* parent);

// The OK button row of a report dialog: its button is named "okButton" and
// accepts the dialog.
QDialogButtonBox* MakeOkButtonBox(QDialog* dialog);

// The "Maintenance" group of a list page: Add, Edit and Delete in a row.
struct MaintenanceButtons
{
    QGroupBox* group = nullptr;
    QPushButton* add = nullptr;
    QPushButton* edit = nullptr;
    QPushButton* remove = nullptr;
};
MaintenanceButtons MakeMaintenanceButtons(QWidget* parent);

// Lays a list page out: the list on top, below it the Maintenance group and
// the Operation group side by side, sharing the width by their stretches.
void LayOutListPage(QWidget* page, QWidget* list, QGroupBox* maintenance, int maintenanceStretch,
                    QGroupBox* operation, int operationStretch);
