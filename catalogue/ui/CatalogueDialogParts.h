#pragma once

#include "platform/ui/FormFields.h"

class QDialog;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QString;
class QWidget;

// Pieces the catalogue's two small dialogs share.
namespace velmora::catalogue_ui {

// The edits and their labels, as every dialog of the program makes them.
using velmora::BuddyLabel;
using velmora::MakeEdit;

// OK and Cancel wired to the dialog's accept and reject.
QDialogButtonBox* OkCancel(QDialog* dialog);

// The dialogs' check failure: a box owned by `owner`, caption "ERROR!", error icon.
void ShowError(QWidget* owner, const QString& text);

} // namespace velmora::catalogue_ui
