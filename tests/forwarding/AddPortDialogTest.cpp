#include "forwarding/ui/CRouter_Add_Port.h"
#include "tests/forwarding/FakeForwardingHost.h"
#include "tests/support/ModalCatcher.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

using velmora::test::MakeEntry;
using velmora::test::ModalCatcher;

namespace {

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

// Presses OK and returns the message boxes it showed (title, text).
QList<ModalCatcher::Seen> PressOk(CRouter_Add_Port& d)
{
    ModalCatcher catcher;
    d.accept();
    return catcher.seen();
}

// A field of the dialog's entry, for comparing with what was typed.
template <size_t N> QString Text(const char (&field)[N])
{
    const std::string_view text = velmora::Field(field);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string Proposer()
{
    return "192.168.77.2";
}

const QString kNameTaken = "the port forwarding name has already existed, please reenter again!";

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
        auto* autoAdd = d.findChild<QCheckBox*>("autoAddBox");
        QVERIFY(autoAdd->isVisible());
        QVERIFY(!autoAdd->isChecked());
        QCOMPARE(autoAdd->accessibleName(), QString("Auto add when the software startup"));
        QVERIFY(!Edit(&d, "destinationPortEdit")->isVisible());
        // Every visible input is the buddy of its label.
        QStringList buddies, texts;
        for (auto* label : d.findChildren<QLabel*>()) {
            texts << label->text();
            if (label->buddy() && label->isVisible())
                buddies << label->text();
        }
        QCOMPARE(buddies, (QStringList{"Name:", "Protocol: ", "Port: ", "Internal IP: "}));
        QVERIFY(texts.contains("Could be multiple ports and range. For example:80,443-447,8080"));
        QVERIFY(texts.contains("For AirPort Station, Internal IP must input Localhost."));

        // Without a default route there is nothing to propose.
        CRouter_Add_Port none(entries, nullptr, nullptr, [] { return std::string(); });
        QVERIFY(Edit(&none, "internalIpEdit")->text().isEmpty());
    }

    // The OK checks in their order: the first that fails is the only message.
    void okChecks_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("ports");
        QTest::addColumn<QString>("ip");
        QTest::addColumn<QString>("title"); // empty: accepted
        QTest::addColumn<QString>("text");
        const QString error = "ERROR!", warning = "Warning", ok;
        const QString range =
            "The port range %1 error. The end port should be bigger than start port!";
        auto row = [](const char* tag, QString name, QString ports, QString ip, QString title,
                      QString text) { QTest::newRow(tag) << name << ports << ip << title << text; };
        row("all empty", "", "", "", error, "invalid name, please reenter again!");
        row("taken name", "Web", "8080", "1.2.3.4", error, kNameTaken);
        row("port before ip", "a", "", "", error, "invalid listen port, please reenter again!");
        row("reversed range", "a", "80,90-80,70-60", "", warning, range.arg("90-80"));
        row("range without end", "a", "5-", "1.2.3.4", warning, range.arg("5-"));
        row("empty ip", "a", "80", "", error,
            "invalid destination ip address, please reenter again!");
        row("other case", "web", "80", "Localhost", ok, ok);
        row("list", "a", "80,443-447,8080", "Localhost", ok, ok);
        row("commas", "a", ",,", "Localhost", ok, ok);
        row("letters", "a", "abc", "Localhost", ok, ok);
        row("equal ends", "a", "80-80", "Localhost", ok, ok);
    }
    void okChecks()
    {
        QFETCH(QString, name);
        QFETCH(QString, ports);
        QFETCH(QString, ip);
        QFETCH(QString, title);
        QFETCH(QString, text);
        std::vector<ForwardingEntry> entries{MakeEntry("Web", "TCP", "80", "192.168.77.2")};
        CRouter_Add_Port d(entries, nullptr, nullptr, Proposer);
        Edit(&d, "nameEdit")->setText(name);
        Edit(&d, "portEdit")->setText(ports);
        Edit(&d, "internalIpEdit")->setText(ip);
        const auto seen = PressOk(d);
        if (title.isEmpty()) {
            QVERIFY(seen.isEmpty());
            QCOMPARE(d.result(), int(QDialog::Accepted));
            QCOMPARE(Text(d.entry().name), name);
            QCOMPARE(Text(d.entry().listen_port), ports);
            QCOMPARE(Text(d.entry().destination_ip), ip);
            QCOMPARE(Text(d.entry().protocol), QString("TCP"));
            QCOMPARE(Text(d.entry().type), QString("N"));
            return;
        }
        QCOMPARE(seen.size(), 1);
        QCOMPARE(seen[0].title, title);
        QCOMPARE(seen[0].text, text);
        QCOMPARE(d.result(), int(QDialog::Rejected));
        QCOMPARE(Edit(&d, "nameEdit")->text(), name); // what was typed stays
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
        std::vector<ForwardingEntry> entries{
            MakeEntry("game", p.c_str(), "3074", "127.0.0.5", "Y")};
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
        std::vector<ForwardingEntry> entries{MakeEntry("a", "TCP", "1", "127.0.0.5", "N"),
                                             MakeEntry("b", "UDP", "2", "127.0.0.5", "N")};
        CRouter_Add_Port d(entries, &entries[1], nullptr, Proposer);
        QVERIFY(PressOk(d).isEmpty());
        QCOMPARE(Text(d.entry().name), QString("b"));
        QCOMPARE(Text(d.entry().protocol), QString("UDP"));
        QCOMPARE(Text(d.entry().type), QString("N"));

        CRouter_Add_Port rename(entries, &entries[1], nullptr, Proposer);
        Edit(&rename, "nameEdit")->setText("a");
        const auto seen = PressOk(rename);
        QCOMPARE(seen.size(), 1);
        QCOMPARE(seen[0].text, kNameTaken);
    }

    void typingStopsAtWhatTheReaderGivesBackAndResultsFit()
    {
        std::vector<ForwardingEntry> entries;
        CRouter_Add_Port d(entries, nullptr, nullptr, Proposer);
        d.show();
        auto* name = Edit(&d, "nameEdit");
        name->setFocus();
        QTest::keyClicks(name, QString(300, 'n'));
        QCOMPARE(name->text().size(), 128);
        auto* port = Edit(&d, "portEdit");
        QTest::keyClicks(port, "80,443-447,8080,9000,9001");
        QCOMPARE(port->text(), QString("80,443-447,8080,900"));
        auto* ip = Edit(&d, "internalIpEdit");
        ip->clear();
        QTest::keyClicks(ip, QString(300, 'x'));
        QCOMPARE(ip->text().size(), 128);
        // A paste that does not fit is cut to what fits; what was there stays.
        name->clear();
        name->insert(QString(300, 'p'));
        QCOMPARE(name->text(), QString(128, 'p'));
        name->setText("head tail");
        name->setCursorPosition(5);
        name->insert(QString(200, 'm'));
        QCOMPARE(name->text(), "head " + QString(119, 'm') + "tail");
        // Limits count UTF-8 bytes, as the reader does: two-byte characters fit half as often.
        name->clear();
        for (int i = 0; i < 200; ++i)
            name->insert(QString(QChar(0x00E9)));
        QCOMPARE(name->text().toUtf8().size(), 128);
        name->clear();
        for (int i = 0; i < 100; ++i) // three bytes each: 42 fit
            name->insert(QString(QChar(0x20AC)));
        QCOMPARE(name->text(), QString(42, QChar(0x20AC)));
        ip->setText("127.0.0.1");
        QVERIFY(PressOk(d).isEmpty());
        // The record keeps all 126 bytes typed: nothing is cut on the way in.
        QCOMPARE(velmora::Field(d.entry().name).size(), size_t{126});
        QCOMPARE(Text(d.entry().name), QString(42, QChar(0x20AC)));
    }
};

QTEST_MAIN(AddPortDialogTest)
#include "AddPortDialogTest.moc"
