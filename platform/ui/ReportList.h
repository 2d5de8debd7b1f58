#pragma once

#include <QStringList>
#include <QTableWidget>
#include <vector>

class QHeaderView;

namespace velmora {

// The width a section of `header` needs to show `heading` whole.
int HeadingWidth(const QHeaderView* header, const QString& heading);

// A report-style list: column headings, full-row selection of several rows,
// grid lines, read-only cells. Row i mirrors element i of the list it shows.
class ReportList : public QTableWidget
{
    Q_OBJECT
public:
    struct Column
    {
        QString heading;
        int width = 100;
    };

    ReportList(const std::vector<Column>& columns, const QString& accessibleName,
               QWidget* parent = nullptr);

    int appendRow(const QStringList& cells);
    // Many rows at once: the table grows once for all of them.
    void appendRows(const QList<QStringList>& rows);
    void setRowCells(int row, const QStringList& cells);
    void setCell(int row, int column, const QString& text);
    QString cell(int row, int column) const;

    // Selected rows in ascending order; the first of them, or -1.
    std::vector<int> selectedRowsAscending() const;
    int firstSelectedRow() const;
};

} // namespace velmora
