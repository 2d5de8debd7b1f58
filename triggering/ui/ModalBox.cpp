#include "triggering/ui/ModalBox.h"

#include <QPointer>

namespace velmora {

void ShowModalBox(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                  const QString& text)
{
    QPointer<QMessageBox> box = new QMessageBox(icon, title, text, QMessageBox::Ok, parent);
    box->exec();
    delete box.data(); // null when the parent already took it along
}

} // namespace velmora
