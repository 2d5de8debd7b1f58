#pragma once

#include <QString>

class QGroupBox;
class QPushButton;
class QWidget;

// A push button named for tests and screen readers. It never acts as the
// default button: Enter does not press it unless it has the focus.
QPushButton* MakeFormButton(const QString& text, const char* objectName, QWidget* parent);

// The "Maintenance" group of a list page: Add, Edit and Delete in a row.
struct MaintenanceButtons
{
    QGroupBox* group = nullptr;
    QPushButton* add = nullptr;
    QPushButton* edit = nullptr;
    QPushButton* remove = nullptr;
};
MaintenanceButtons MakeMaintenanceButtons(QWidget* parent);
