#pragma once

#include <QString>

class QDialog;
class QDialogButtonBox;
class QPushButton;
class QWidget;

namespace velmora {

// A push button named for tests and screen readers. It never acts as the
// default button: Enter does not press it unless it has the focus.
QPushButton* MakeFormButton(const QString& text, const char* objectName, QWidget* parent);

// The OK button row of a report dialog: its button is named "okButton" and
// accepts the dialog.
QDialogButtonBox* MakeOkButtonBox(QDialog* dialog);

} // namespace velmora
