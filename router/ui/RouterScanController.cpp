#include "router/ui/RouterScanController.h"

#include <QComboBox>

RouterScanController::RouterScanController(const Widgets& widgets, QObject* parent)
    : QObject(parent), widgets_(widgets)
{
}

RouterScanController::~RouterScanController() = default;

RouterEntryPtr RouterScanController::selectedRouter() const
{
    int line = widgets_.routerBox ? widgets_.routerBox->currentIndex() : -1;
    if (line < 0 || line >= static_cast<int>(routers_.size()))
        return nullptr;
    return routers_[static_cast<size_t>(line)];
}

void RouterScanController::startScan() {}
void RouterScanController::rescan() {}
void RouterScanController::showInfo() {}
