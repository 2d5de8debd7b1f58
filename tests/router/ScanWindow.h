#pragma once

#include "router/ui/RouterScanController.h"

#include <QComboBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>
#include <QWidget>
#include <memory>

namespace velmora::test {

// The part of the main window that the scan drives, as the window builds it:
// an editable router box, Info and Rescan hidden, the progress bar shown.
struct ScanWindow
{
    std::unique_ptr<QWidget> top = std::make_unique<QWidget>();
    QComboBox* box = new QComboBox(top.get());
    QPushButton* info = new QPushButton("Info", top.get());
    QPushButton* rescan = new QPushButton("Rescan", top.get());
    QProgressBar* progress = new QProgressBar(top.get());
    RouterScanController* scan = nullptr;

    ScanWindow()
    {
        box->setEditable(true);
        auto* layout = new QVBoxLayout(top.get());
        for (QWidget* w : std::initializer_list<QWidget*>{box, info, rescan, progress})
            layout->addWidget(w);
        box->hide();
        info->hide();
        rescan->hide();
        scan = new RouterScanController({box, info, rescan, progress, top.get()}, top.get());
        QObject::connect(info, &QPushButton::clicked, scan, &RouterScanController::showInfo);
        QObject::connect(rescan, &QPushButton::clicked, scan, &RouterScanController::rescan);
        top->show();
    }

    QStringList lines() const
    {
        QStringList out;
        for (int i = 0; i < box->count(); ++i)
            out << box->itemText(i);
        return out;
    }
    bool scanningLook() const
    {
        return progress->isVisible() && !box->isVisible() && !info->isVisible() &&
               !rescan->isVisible();
    }
    bool foundLook() const
    {
        return !progress->isVisible() && box->isVisible() && info->isVisible() &&
               rescan->isVisible();
    }
};

} // namespace velmora::test
