#pragma once

#include "catalogue/core/CatalogueRecord.h"

#include <QTableWidget>
#include <vector>

namespace velmora {

// The catalogue's report: "Application Name", "TCP Ports", "UDP Ports", one
// row per record. Clicking a heading sorts by that column (again: the other
// way); the columns share the width in proportion to their sizes. Rows keep
// the order in which their records were added, so callers can walk the
// records in that order whatever the sorting.
class CatalogueReport final : public QTableWidget
{
    Q_OBJECT
public:
    explicit CatalogueReport(QWidget* parent = nullptr);

    // Replaces every row at once (one repaint, however many records).
    void setRecords(const std::vector<velmora::CatalogueRecord>& records);
    // Appends one record; returns its row.
    int addRecord(const velmora::CatalogueRecord& record);

    // The rows in the order their records were added.
    std::vector<int> rowsInRecordOrder() const;
    velmora::CatalogueRecord record(int row) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void fillRow(int row, int recordIndex, const velmora::CatalogueRecord& record);
    void sortOnHeading(int column);
    void applySort();
    void fitColumns();

    int nextRecord_ = 0;
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

} // namespace velmora
