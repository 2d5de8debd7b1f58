#include "platform/ui/ReportList.h"

#include <QPersistentModelIndex>
#include <QSignalSpy>
#include <QTest>

using velmora::ReportList;

// The rows are kept as text alone: what goes in must come out, cell by cell,
// and a row's own values must move with it.
class ReportListTest : public QObject
{
    Q_OBJECT
private slots:
    void cellsComeBackAsTheyWent()
    {
        ReportList list({{"Name"}, {"Protocol"}, {"Port"}}, "list");
        const QString longText(70000, QChar(0x263A)); // a length past 16 bits
        list.appendRows({{"a", "", "80"}, {longText, "TCP"}, {}});
        QCOMPARE(list.rowCount(), 3);
        QCOMPARE(list.cell(0, 2), QString("80"));
        QCOMPARE(list.cell(1, 0), longText);
        QCOMPARE(list.cell(1, 1), QString("TCP"));
        QCOMPARE(list.cell(1, 2), QString());
        QCOMPARE(list.cell(2, 1), QString());
        QSignalSpy changed(&list, &ReportList::cellChanged);
        list.setRowCells(0, {"b"}); // the cells not given keep their text
        list.setCell(0, 1, "UDP");
        QCOMPARE(QStringList({list.cell(0, 0), list.cell(0, 1), list.cell(0, 2)}),
                 QStringList({"b", "UDP", "80"}));
        QCOMPARE(changed.size(), 2);
        QCOMPARE(list.model()->data(list.model()->index(0, 1)).toString(), QString("UDP"));
    }

    void aRowsValuesMoveWithIt()
    {
        ReportList list({{"Name"}}, "list");
        list.appendRows({{"a"}, {"b"}, {"c"}});
        list.setRowData(2, Qt::UserRole + 1, 42);
        const QPersistentModelIndex last(list.model()->index(2, 0));
        list.removeRow(0);
        QCOMPARE(last.row(), 1);
        QCOMPARE(list.rowData(1, Qt::UserRole + 1).toInt(), 42);
        QVERIFY(!list.rowData(0, Qt::UserRole + 1).isValid());
        list.setRowCount(0);
        QVERIFY(!last.isValid());
    }
};

QTEST_MAIN(ReportListTest)
#include "ReportListTest.moc"
