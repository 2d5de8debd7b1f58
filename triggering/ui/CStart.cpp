#include "triggering/ui/CStart.h"

#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

CStart::CStart(int milliseconds, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName("CStart");
    setModal(true);
    setWindowTitle(tr("Operating..."));
    setAccessibleName(windowTitle());
    auto* text = new QLabel(tr("Operating..."), this);
    text->setObjectName("operatingText");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 14, 12, 14);
    layout->addWidget(text);
    setFixedSize(sizeHint().expandedTo(QSize(180, 44))); // wider when the text needs it

    auto* timer = new QTimer(this);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, this, &QDialog::accept);
    timer->start(milliseconds);
}
