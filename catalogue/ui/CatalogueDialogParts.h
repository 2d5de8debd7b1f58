#pragma once

class QDialog;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QString;
class QWidget;

// Pieces the catalogue's two small dialogs share.
namespace velmora::catalogue_ui {

// A line edit that holds at most `maxBytes` bytes of UTF-8 (0: no limit).
QLineEdit* MakeEdit(const char* objectName, int maxBytes, QWidget* parent);

// A label whose buddy is `edit`; the edit is named for screen readers after it.
QLabel* BuddyLabel(const char* text, QLineEdit* edit, QWidget* parent);

// OK and Cancel wired to the dialog's accept and reject.
QDialogButtonBox* OkCancel(QDialog* dialog);

// The dialogs' check failure: a box owned by `owner`, caption "ERROR!", error icon.
void ShowError(QWidget* owner, const QString& text);

} // namespace velmora::catalogue_ui
