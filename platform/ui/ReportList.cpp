#include "platform/ui/ReportList.h"

#include <QHeaderView>
#include <QStyle>
#include <algorithm>

namespace velmora {

int HeadingWidth(const QHeaderView* header, const QString& heading)
{
    // The header elides a heading wider than its section less the style's
    // margins and four pixels.
    const int margins = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    return header->fontMetrics().horizontalAdvance(heading) + margins + 4;
}

ReportList::ReportList(const std::vector<Column>& columns, const QString& accessibleName,
                       QWidget* parent)
    : QTableWidget(0, static_cast<int>(columns.size()), parent)
{
    setAccessibleName(accessibleName);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setWordWrap(false);
    verticalHeader()->setVisible(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setHighlightSections(false);
    QStringList headings;
    for (const auto& column : columns)
        headings << column.heading;
    setHorizontalHeaderLabels(headings);
    // A heading longer than its column's width (another language, a larger
    // font) widens the column.
    for (int i = 0; i < static_cast<int>(columns.size()); ++i)
        setColumnWidth(
            i, std::max(columns[static_cast<size_t>(i)].width,
                        HeadingWidth(horizontalHeader(), columns[static_cast<size_t>(i)].heading)));
}

int ReportList::appendRow(const QStringList& cells)
{
    int row = rowCount();
    insertRow(row);
    setRowCells(row, cells);
    return row;
}

void ReportList::appendRows(const QList<QStringList>& rows)
{
    const int first = rowCount();
    setRowCount(first + static_cast<int>(rows.size()));
    for (int i = 0; i < static_cast<int>(rows.size()); ++i)
        setRowCells(first + i, rows[i]);
}

void ReportList::setRowCells(int row, const QStringList& cells)
{
    for (int column = 0; column < columnCount() && column < cells.size(); ++column)
        setCell(row, column, cells[column]);
}

void ReportList::setCell(int row, int column, const QString& text)
{
    if (auto* existing = item(row, column)) {
        existing->setText(text);
        return;
    }
    auto* cellItem = new QTableWidgetItem(text);
    cellItem->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setItem(row, column, cellItem);
}

QString ReportList::cell(int row, int column) const
{
    auto* cellItem = item(row, column);
    return cellItem ? cellItem->text() : QString();
}

std::vector<int> ReportList::selectedRowsAscending() const
{
    std::vector<int> rows;
    for (const auto& index : selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

int ReportList::firstSelectedRow() const
{
    auto rows = selectedRowsAscending();
    return rows.empty() ? -1 : rows.front();
}

} // namespace velmora
