#include "platform/ui/ListPage.h"

#include "platform/ui/FormButtons.h"
#include "platform/ui/Tr.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace velmora {

ListPage BuildListPage(QWidget* page, const ListPageLayout& layout)
{
    ListPage frame;
    frame.list = new ReportList(layout.columns, layout.listName, page);
    frame.list->setObjectName(layout.listObjectName);

    auto* maintenance =
        new QGroupBox(velmora::Tr(QT_TRANSLATE_NOOP("velmora", "Maintenance")), page);
    frame.add =
        MakeFormButton(velmora::Tr(QT_TRANSLATE_NOOP("velmora", "Add")), "addButton", maintenance);
    frame.edit = MakeFormButton(velmora::Tr(QT_TRANSLATE_NOOP("velmora", "Edit")), "editButton",
                                maintenance);
    frame.remove = MakeFormButton(velmora::Tr(QT_TRANSLATE_NOOP("velmora", "Delete")),
                                  "deleteButton", maintenance);
    LayOutButtonRow(maintenance, {frame.add, frame.edit, frame.remove}, ButtonSpacing::Packed);
    frame.operation = new QGroupBox(velmora::Tr(QT_TRANSLATE_NOOP("velmora", "Operation")), page);

    auto* groups = new QHBoxLayout;
    groups->addWidget(maintenance, layout.maintenanceStretch);
    groups->addWidget(frame.operation, layout.operationStretch);
    auto* column = new QVBoxLayout(page);
    column->addWidget(frame.list, 1);
    column->addLayout(groups);
    return frame;
}

void LayOutButtonRow(QGroupBox* group, std::initializer_list<QPushButton*> buttons,
                     ButtonSpacing spacing)
{
    auto* row = new QHBoxLayout(group);
    for (QPushButton* button : buttons) {
        if (spacing == ButtonSpacing::Spread)
            row->addStretch();
        row->addWidget(button);
    }
    if (spacing == ButtonSpacing::Spread)
        row->addStretch();
}

} // namespace velmora
