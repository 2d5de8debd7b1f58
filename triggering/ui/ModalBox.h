#pragma once

#include <QMessageBox>
#include <QString>

namespace velmora {

// Shows a message box with an OK button only and waits for it. The box lives
// on the heap, so it is cleaned up even if its parent goes away meanwhile.
void ShowModalBox(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                  const QString& text);

} // namespace velmora
