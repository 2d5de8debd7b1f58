#pragma once

#include "platform/ui/ReportList.h"

#include <QObject>
#include <QPushButton>
#include <initializer_list>
#include <vector>

class QGroupBox;

namespace velmora {

// The frame the two entry tabs share: their list on top; below it the
// "Maintenance" group (Add, Edit, Delete) beside the tab's own "Operation"
// group, the two sharing the width by their stretches.
struct ListPage
{
    ReportList* list = nullptr;
    QPushButton* add = nullptr;
    QPushButton* edit = nullptr;
    QPushButton* remove = nullptr;
    QGroupBox* operation = nullptr; // empty: the tab makes its buttons in it
};

struct ListPageLayout
{
    std::vector<ReportList::Column> columns;
    QString listName; // for screen readers
    const char* listObjectName = "";
    int maintenanceStretch = 1;
    int operationStretch = 1;
};

// Builds the frame on `page`. Tab goes from the list to Add, Edit and Delete,
// then to the Operation buttons in the order the tab makes them.
ListPage BuildListPage(QWidget* page, const ListPageLayout& layout);

// Wires Add, Edit and Delete to the tab's handlers.
template <typename Page>
void ConnectMaintenance(const ListPage& frame, Page* page, void (Page::*add)(),
                        void (Page::*edit)(), void (Page::*remove)())
{
    QObject::connect(frame.add, &QPushButton::clicked, page, add);
    QObject::connect(frame.edit, &QPushButton::clicked, page, edit);
    QObject::connect(frame.remove, &QPushButton::clicked, page, remove);
}

enum class ButtonSpacing
{
    Packed,
    Spread, // equal room before, between and after the buttons
};

// Lays a group's buttons out in one row.
void LayOutButtonRow(QGroupBox* group, std::initializer_list<QPushButton*> buttons,
                     ButtonSpacing spacing);

} // namespace velmora
