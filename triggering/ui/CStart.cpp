#include "triggering/ui/CStart.h"

#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

CStart::CStart(int milliseconds, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName("CStart");
    setModal(true);
    setAccessibleName(tr("Operating..."));
    auto* text = new QLabel(tr("Operating..."), this);
    text->setObjectName("operatingText");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 14, 12, 14);
    layout->addWidget(text);
    setFixedSize(180, 44);

    auto* timer = new QTimer(this);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, this, &QDialog::accept);
    timer->start(milliseconds);
}
