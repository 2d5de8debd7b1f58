#pragma once

#include <QString>

class QLabel;
class QLineEdit;
class QWidget;

namespace velmora {

// A named line edit that holds at most `maxBytes` bytes of UTF-8 (0: no
// limit), the most a record field keeps.
QLineEdit* MakeEdit(const char* objectName, int maxBytes, QWidget* parent);

// A label whose buddy is `buddy`; the buddy is named for screen readers after
// the label's text.
QLabel* BuddyLabel(const QString& text, QWidget* buddy, QWidget* parent);

} // namespace velmora
