// The Port Triggering tab: columns, button states, Add/Edit/Delete, auto start.
#include "tests/triggering/TabTestSupport.h"

#include <QHeaderView>
#include <QTest>

using namespace velmora::test;

class CFormView_ServerTest : public TabTestBase
{
    Q_OBJECT

private slots:
    void init() { begin(); }
    void cleanup() { end(); }

    void columnsAndFreshButtons();
    void buttonStatesFollowTheFirstSelectedRow();
    void addAppendsAStoppedRowThatDoesNotStart();
    void editRewritesTheRowInPlaceAndCancelChangesNothing();
    void deleteRemovesOnlyTheFirstSelectedStoppedRow();
    void autoStartTakesOnlyExactlyY();
    void reloadShowsEveryRowStopped();
};

void CFormView_ServerTest::columnsAndFreshButtons()
{
    auto& view = makeView({});
    auto* list = view.list();
    const QStringList headings = {"Name",
                                  "Status",
                                  "Auto Start",
                                  "Protocol",
                                  "Trigger Address",
                                  "Trigger Port(Start)",
                                  "Trigger Port(End)",
                                  "Frequence(ms)"};
    const int widths[] = {130, 70, 70, 80, 110, 110, 110, 100};
    QCOMPARE(list->columnCount(), 8);
    for (int i = 0; i < 8; ++i) {
        QCOMPARE(list->horizontalHeaderItem(i)->text(), headings[i]);
        QCOMPARE(list->columnWidth(i), widths[i]);
    }
    Buttons b(view);
    QVERIFY(b.add->isEnabled());
    QCOMPARE(b.states(), QString("0000"));
}

void CFormView_ServerTest::buttonStatesFollowTheFirstSelectedRow()
{
    auto& view = makeView({Quiet("A", 100, 100), Quiet("B", 200, 200), Quiet("C", 300, 300)});
    Buttons b(view);
    view.list()->setCell(1, 1, "running"); // the Status text is what the buttons read
    Select(view.list(), {0});
    QCOMPARE(b.states(), QString("1110"));
    Select(view.list(), {1});
    QCOMPARE(b.states(), QString("0001"));
    Select(view.list(), {0, 1}); // a stopped row first: Start is offered, Stop is not
    QCOMPARE(b.states(), QString("1110"));
    Select(view.list(), {1, 2});
    QCOMPARE(b.states(), QString("0001"));
    Select(view.list(), {});
    QCOMPARE(b.states(), QString("0000"));
    QVERIFY(b.add->isEnabled());
    // Handlers do nothing without a selection.
    view.editEntry();
    view.deleteEntry();
    view.startSelected();
    view.stopSelected();
    QCOMPARE(view.list()->rowCount(), 3);
    QVERIFY(!view.runAt(0));
}

void CFormView_ServerTest::addAppendsAStoppedRowThatDoesNotStart()
{
    auto& view = makeView({Quiet("A", 100, 100)});
    ModalCatcher catcher;
    catcher.answer = FillDialog("New", "7000", "7002", true);
    Buttons(view).add->click();
    QCOMPARE(view.list()->rowCount(), 2);
    QCOMPARE(entries_.size(), size_t(2));
    const QStringList expected = {"New",  "stop", "Y",  "TCP", "www.wikipedia.org",
                                  "7000", "7002", "250"};
    for (int column = 0; column < 8; ++column)
        QCOMPARE(view.list()->cell(1, column), expected[column]);
    QCOMPARE(velmora::Field(entries_[1].name), std::string_view("New"));
    QCOMPARE(velmora::Field(entries_[1].status), std::string_view("stop"));
    QCOMPARE(velmora::Field(entries_[1].trigger_address), std::string_view("www.wikipedia.org"));
    QVERIFY(!view.runAt(1)); // auto start takes effect only at the next program start

    catcher.answer = [](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); };
    Buttons(view).add->click();
    QCOMPARE(view.list()->rowCount(), 2);
}

void CFormView_ServerTest::editRewritesTheRowInPlaceAndCancelChangesNothing()
{
    auto& view = makeView({Quiet("A", 100, 100), Quiet("B", 200, 200), Quiet("C", 300, 300)});
    ModalCatcher catcher;
    catcher.answer = FillDialog("B2", "9000", "", false);
    Select(view.list(), {1, 2});
    Buttons(view).edit->click();
    QCOMPARE(view.list()->rowCount(), 3);
    QCOMPARE(view.list()->cell(1, 0), QString("B2"));
    QCOMPARE(view.list()->cell(1, 1), QString("stop"));
    QCOMPARE(view.list()->cell(1, 6), QString("9000"));
    QCOMPARE(velmora::Field(entries_[1].name), std::string_view("B2"));
    QCOMPARE(velmora::Field(entries_[1].protocol), std::string_view("TCP and UDP"));
    QCOMPARE(view.list()->cell(2, 0), QString("C")); // only the first selected row

    const TriggeringEntry before = entries_[1];
    catcher.answer = [](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); };
    Buttons(view).edit->click();
    QCOMPARE(std::memcmp(&before, &entries_[1], sizeof before), 0);
    QCOMPARE(view.list()->cell(1, 0), QString("B2"));
}

void CFormView_ServerTest::deleteRemovesOnlyTheFirstSelectedStoppedRow()
{
    auto& view = makeView({Quiet("A", 100, 100), Quiet("B", 200, 200), Quiet("C", 300, 300)});
    Select(view.list(), {1, 2});
    Buttons(view).remove->click();
    QCOMPARE(view.list()->rowCount(), 2);
    QCOMPARE(entries_.size(), size_t(2));
    QCOMPARE(view.list()->cell(0, 0), QString("A"));
    QCOMPARE(view.list()->cell(1, 0), QString("C"));
    QCOMPARE(velmora::Field(entries_[1].name), std::string_view("C"));

    // A running entry is never deleted, even if the handler is reached.
    Select(view.list(), {0});
    Buttons(view).start->click();
    QCOMPARE(status(0), QString("running"));
    view.deleteEntry();
    QCOMPARE(view.list()->rowCount(), 2);
}

void CFormView_ServerTest::autoStartTakesOnlyExactlyY()
{
    std::vector<TriggeringEntry> entries = {Quiet("yes", 100, 101), Quiet("lower", 200, 200),
                                            Quiet("word", 300, 300), Quiet("no", 400, 400)};
    velmora::SetField(entries[0].auto_start, "Y");
    velmora::SetField(entries[1].auto_start, "y");
    // "Yes" cannot fit the 2-byte field; its first two bytes, unterminated, are
    // the closest a record gets to it, and they are not "Y".
    std::memcpy(entries[2].auto_start, "Ye", 2);
    velmora::SetField(entries[3].auto_start, "N");
    auto& view = makeView(entries);
    ModalCatcher catcher;
    view.startAutoStartEntries();
    QTest::qWait(30);
    QVERIFY(catcher.seen().isEmpty()); // no notice at start-up
    QCOMPARE(status(0), QString("running"));
    QCOMPARE(velmora::Field(entries_[0].status), std::string_view("running"));
    QVERIFY(view.runAt(0));
    QCOMPARE(view.runAt(0)->workersStarted(), 2);
    for (int row = 1; row < 4; ++row) {
        QCOMPARE(status(row), QString("stop"));
        QVERIFY(!view.runAt(row));
    }
    QCOMPARE(Buttons(view).states(), QString("0000")); // unchanged until a row is selected
    view.startAutoStartEntries();                      // a second call starts nothing twice
    QCOMPARE(view.runAt(0)->workersStarted(), 2);
}

void CFormView_ServerTest::reloadShowsEveryRowStopped()
{
    auto& view = makeView({Quiet("A", 100, 100), Quiet("B", 200, 200)});
    velmora::SetField(entries_[0].status, "running");
    view.reloadRows();
    QCOMPARE(view.list()->rowCount(), 2);
    QCOMPARE(status(0), QString("stop"));
    QCOMPARE(status(1), QString("stop"));
    QCOMPARE(view.list()->cell(1, 0), QString("B"));
}

QTEST_MAIN(CFormView_ServerTest)
#include "CFormView_ServerTest.moc"
