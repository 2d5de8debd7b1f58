#include "forwarding/ui/CRouter_Add_Port.h"
#include "tests/support/ModalCatcher.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>

using velmora::test::ModalCatcher;

namespace {

ForwardingEntry Entry(const char* name, const char* protocol, const char* ports,
                      const char* ip = "192.168.77.2", const char* type = "N")
{
    auto entry = velmora::ZeroedRecord<ForwardingEntry>();
    velmora::SetField(entry.name, name);
    velmora::SetField(entry.protocol, protocol);
    velmora::SetField(entry.listen_port, ports);
    velmora::SetField(entry.destination_ip, ip);
    velmora::SetField(entry.type, type);
    return entry;
}

QLineEdit* Edit(QWidget* dialog, const char* name)
{
    return dialog->findChild<QLineEdit*>(name);
}

QStringList Items(QComboBox* box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

void Fill(CRouter_Add_Port& d, const QString& name, const QString& ports, const QString& ip)
{
    Edit(&d, "nameEdit")->setText(name);
    Edit(&d, "portEdit")->setText(ports);
    Edit(&d, "internalIpEdit")->setText(ip);
}

// Presses OK and returns the message boxes it showed (title, text).
QList<ModalCatcher::Seen> PressOk(CRouter_Add_Port& d)
{
    ModalCatcher catcher;
    d.accept();
    return catcher.seen();
}

std::string Proposer()
{
    return "192.168.77.2";
}

} // namespace

class AddPortDialogTest : public QObject
{
    Q_OBJECT
private slots:
    void newEntryLayout()
    {
        std::vector<ForwardingEntry> entries;
        CRouter_Add_Port d(entries, nullptr, nullptr, Proposer);
        d.show();
        QCOMPARE(d.windowTitle(), QString("Add Port Forwarding"));
        auto* box = d.findChild<QComboBox*>("protocolBox");
        QCOMPARE(Items(box), (QStringList{"TCP", "UDP", "Both"}));
        QCOMPARE(box->currentText(), QString("TCP"));
        QVERIFY(!box->isEditable());
        QCOMPARE(Edit(&d, "internalIpEdit")->text(), QString("192.168.77.2"));
        QVERIFY(Edit(&d, "nameEdit")->text().isEmpty());
        QVERIFY(!d.findChild<QCheckBox*>("autoAddBox")->isVisible());
        QVERIFY(!Edit(&d, "destinationPortEdit")->isVisible());
        // Every visible input is the buddy of its label.
        QStringList buddies;
        for (auto* label : d.findChildren<QLabel*>()) {
            if (label->buddy() && label->isVisible())
                buddies << label->text();
        }
        QCOMPARE(buddies, (QStringList{"Name:", "Protocol: ", "Port: ", "Internal IP: "}));
        bool hint = false, note = false;
        for (auto* label : d.findChildren<QLabel*>()) {
            hint |=
                label->text() == "Could be multiple ports and range. For example:80,443-447,8080";
            note |= label->text() == "For AirPort Station, Internal IP must input Localhost.";
        }
        QVERIFY(hint && note);
    }

    void noDefaultRouteLeavesInternalIpEmpty()
    {
        std::vector<ForwardingEntry> entries;
        CRouter_Add_Port d(entries, nullptr, nullptr, [] { return std::string(); });
        QVERIFY(Edit(&d, "internalIpEdit")->text().isEmpty());
    }

    void emptyNameIsTheOnlyMessageWhenPortIsEmptyToo()
    {
        std::vector<ForwardingEntry> entries;
        CRouter_Add_Port d(entries, nullptr, nullptr, Proposer);
        Fill(d, "", "", "");
        auto seen = PressOk(d);
        QCOMPARE(seen.size(), 1);
        QCOMPARE(seen[0].title, QString("ERROR!"));
        QCOMPARE(seen[0].text, QString("invalid name, please reenter again!"));
        QCOMPARE(d.result(), int(QDialog::Rejected));
        QVERIFY(d.name().empty());
    }

    void duplicateNameIsRefusedButCaseDifferentIsAccepted()
    {
        std::vector<ForwardingEntry> entries{Entry("Web", "TCP", "80")};
        CRouter_Add_Port d(entries, nullptr, nullptr, Proposer);
        Fill(d, "Web", "8080", "192.168.77.2");
        auto seen = PressOk(d);
        QCOMPARE(seen.size(), 1);
        QCOMPARE(seen[0].title, QString("ERROR!"));
        QCOMPARE(seen[0].text,
                 QString("the port forwarding name has already existed, please reenter again!"));
        // The dialog keeps what was typed.
        QCOMPARE(Edit(&d, "nameEdit")->text(), QString("Web"));

        Edit(&d, "nameEdit")->setText("web");
        QVERIFY(PressOk(d).isEmpty());
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(d.name(), std::string("web"));
    }

    void emptyPortComesBeforeTheInternalIp()
    {
        std::vector<ForwardingEntry> entries;
        CRouter_Add_Port d(entries, nullptr, nullptr, Proposer);
        Fill(d, "a", "", "");
        auto seen = PressOk(d);
        QCOMPARE(seen.size(), 1);
        QCOMPARE(seen[0].text, QString("invalid listen port, please reenter again!"));
    }

    void reversedRangeShowsTheWarningBuiltAroundIt()
    {
        std::vector<ForwardingEntry> entries;
        CRouter_Add_Port d(entries, nullptr, nullptr, Proposer);
        Fill(d, "a", "80,90-80,70-60", "");
        auto seen = PressOk(d);
        QCOMPARE(seen.size(), 1);
        QCOMPARE(seen[0].title, QString("Warning"));
        QCOMPARE(seen[0].text,
                 QString("The port range 90-80 error. The end port should be bigger than start "
                         "port!"));
    }

    void aRangeWithoutEndFails()
    {
        std::vector<ForwardingEntry> entries;
        CRouter_Add_Port d(entries, nullptr, nullptr, Proposer);
        Fill(d, "a", "5-", "192.168.77.2");
        auto seen = PressOk(d);
        QCOMPARE(seen.size(), 1);
        QCOMPARE(seen[0].text, QString("The port range 5- error. The end port should be bigger "
                                       "than start port!"));
    }

    void portListsThatPass_data()
    {
        QTest::addColumn<QString>("ports");
        QTest::newRow("list") << "80,443-447,8080";
        QTest::newRow("commas") << ",,";
        QTest::newRow("letters") << "abc";
        QTest::newRow("equal ends") << "80-80";
    }
    void portListsThatPass()
    {
        QFETCH(QString, ports);
        std::vector<ForwardingEntry> entries;
        CRouter_Add_Port d(entries, nullptr, nullptr, Proposer);
        Fill(d, "a", ports, "Localhost");
        QVERIFY(PressOk(d).isEmpty());
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(QString::fromStdString(d.portList()), ports);
        QCOMPARE(d.internalIp(), std::string("Localhost"));
        QCOMPARE(d.protocol(), std::string("TCP"));
        QCOMPARE(d.autoAdd(), std::string("N"));
    }

    void emptyInternalIpIsRefused()
    {
        std::vector<ForwardingEntry> entries;
        CRouter_Add_Port d(entries, nullptr, nullptr, Proposer);
        Fill(d, "a", "80", "");
        auto seen = PressOk(d);
        QCOMPARE(seen.size(), 1);
        QCOMPARE(seen[0].title, QString("ERROR!"));
        QCOMPARE(seen[0].text, QString("invalid destination ip address, please reenter again!"));
    }

    void editingShowsTheEntryWithItsProtocolFirst_data()
    {
        QTest::addColumn<QString>("protocol");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("TCP") << "TCP" << QStringList{"TCP", "UDP", "Both"};
        QTest::newRow("UDP") << "UDP" << QStringList{"UDP", "TCP", "Both"};
        QTest::newRow("Both") << "Both" << QStringList{"Both", "TCP", "UDP"};
        QTest::newRow("other") << "tcp" << QStringList{"Both", "TCP", "UDP"};
    }
    void editingShowsTheEntryWithItsProtocolFirst()
    {
        QFETCH(QString, protocol);
        QFETCH(QStringList, items);
        const auto p = protocol.toStdString();
        std::vector<ForwardingEntry> entries{Entry("game", p.c_str(), "3074", "127.0.0.5", "Y")};
        CRouter_Add_Port d(entries, &entries[0], nullptr, Proposer);
        auto* box = d.findChild<QComboBox*>("protocolBox");
        QCOMPARE(Items(box), items);
        QCOMPARE(box->currentIndex(), 0);
        QCOMPARE(Edit(&d, "nameEdit")->text(), QString("game"));
        QCOMPARE(Edit(&d, "portEdit")->text(), QString("3074"));
        // Editing never proposes an address of its own.
        QCOMPARE(Edit(&d, "internalIpEdit")->text(), QString("127.0.0.5"));
        QVERIFY(d.findChild<QCheckBox*>("autoAddBox")->isChecked());
    }

    void editingKeepsItsOwnNameButNotAnothers()
    {
        std::vector<ForwardingEntry> entries{Entry("a", "TCP", "1"), Entry("b", "UDP", "2")};
        CRouter_Add_Port d(entries, &entries[1], nullptr, Proposer);
        QVERIFY(PressOk(d).isEmpty());
        QCOMPARE(d.name(), std::string("b"));
        QCOMPARE(d.protocol(), std::string("UDP"));
        QCOMPARE(d.autoAdd(), std::string("N"));

        CRouter_Add_Port rename(entries, &entries[1], nullptr, Proposer);
        Edit(&rename, "nameEdit")->setText("a");
        auto seen = PressOk(rename);
        QCOMPARE(seen.size(), 1);
        QCOMPARE(seen[0].text,
                 QString("the port forwarding name has already existed, please reenter again!"));
    }

    void typingStopsAtTheFieldWidths()
    {
        std::vector<ForwardingEntry> entries;
        CRouter_Add_Port d(entries, nullptr, nullptr, Proposer);
        d.show();
        auto* name = Edit(&d, "nameEdit");
        name->setFocus();
        QTest::keyClicks(name, QString(300, 'n'));
        QCOMPARE(name->text().size(), 255);
        auto* port = Edit(&d, "portEdit");
        QTest::keyClicks(port, "80,443-447,8080,9000,9001");
        QCOMPARE(port->text(), QString("80,443-447,8080,900"));
        auto* ip = Edit(&d, "internalIpEdit");
        ip->clear();
        QTest::keyClicks(ip, QString(300, 'x'));
        QCOMPARE(ip->text().size(), 254);
        // Limits count the bytes a field stores: two-byte characters fit half as often.
        name->clear();
        for (int i = 0; i < 200; ++i)
            name->insert(QString(QChar(0x00E9)));
        QCOMPARE(name->text().toUtf8().size(), 254);
        // A paste that does not fit is refused whole.
        name->clear();
        name->insert(QString(300, 'p'));
        QVERIFY(name->text().isEmpty());
    }

    void resultsFitTheirFields()
    {
        std::vector<ForwardingEntry> entries;
        CRouter_Add_Port d(entries, nullptr, nullptr, Proposer);
        d.show();
        for (int i = 0; i < 100; ++i) // three bytes each
            Edit(&d, "nameEdit")->insert(QString(QChar(0x20AC)));
        Edit(&d, "portEdit")->setText("1");
        QVERIFY(PressOk(d).isEmpty());
        auto entry = velmora::ZeroedRecord<ForwardingEntry>();
        velmora::SetField(entry.name, d.name());
        QCOMPARE(velmora::Field(entry.name), std::string_view(d.name()));
        QCOMPARE(d.name().size(), size_t{255});
    }
};

QTEST_MAIN(AddPortDialogTest)
#include "AddPortDialogTest.moc"
