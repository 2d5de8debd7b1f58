#include "triggering/ui/CAddPort.h"

#include "tests/support/ModalCatcher.h"
#include "tests/triggering/TriggeringTestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

using velmora::test::MakeTriggeringEntry;
using velmora::test::ModalCatcher;

namespace {

template <typename T> T* Find(QWidget& parent, const char* name)
{
    auto* found = parent.findChild<T*>(name);
    if (found == nullptr)
        qFatal("no control %s", name);
    return found;
}

struct Controls
{
    explicit Controls(CAddPort& d)
        : name(Find<QLineEdit>(d, "nameEdit")), protocol(Find<QComboBox>(d, "protocolBox")),
          address(Find<QLineEdit>(d, "triggerAddressEdit")),
          start(Find<QLineEdit>(d, "startPortEdit")), end(Find<QLineEdit>(d, "endPortEdit")),
          frequency(Find<QLineEdit>(d, "frequencyEdit")),
          autoStart(Find<QCheckBox>(d, "autoStartCheck"))
    {
    }
    QLineEdit* name;
    QComboBox* protocol;
    QLineEdit* address;
    QLineEdit* start;
    QLineEdit* end;
    QLineEdit* frequency;
    QCheckBox* autoStart;
};

const QString kInvalidName = "invalid name, please reenter again!";
const QString kDuplicate = "the port triggering name has already existed, please reenter again!";
const QString kInvalidAddress = "invalid trigger address, please reenter again!";
const QString kInvalidStart = "invalid start trigger port, please reenter again!";
const QString kInvalidFrequency = "invalid frequence, please reenter again!";

std::vector<TriggeringEntry> TwoEntries()
{
    return {MakeTriggeringEntry("Game", "UDP", "example.org", "3000", "3010", "500"),
            MakeTriggeringEntry("Chat", "TCP", "10.0.0.1", "4000", "4000", "100")};
}

} // namespace

class CAddPortTest : public QObject
{
    Q_OBJECT

private slots:
    void addStartsWithDefaults();
    void labelsAreBuddiesOfTheirFields();
    void checksRunInOrderWithTheirMessages();
    void emptyEndPortBecomesTheStartPort();
    void namesDifferingInCaseAreDifferent();
    void nameOfSpacesIsAccepted();
    void editKeepsAnUnchangedNameAndRefusesAnotherEntrysName();
    void editShowsTheEntryAndMapsOtherProtocolsToBoth();
    void typedProtocolTextKeepsTheLastSelection();
    void endPortCopiesTheStartPortEachTimeItGainsFocus();
    void helpButtonsShowTheirTexts();
    void numberEditsTakeDigitsOnlyWithinTheirFields();
    void textEditsStayWithinTheirFieldsInUtf8();
    void cancelHandsNothingBack();
};

void CAddPortTest::addStartsWithDefaults()
{
    std::vector<TriggeringEntry> entries;
    CAddPort dialog(entries, nullptr);
    Controls c(dialog);
    QCOMPARE(dialog.windowTitle(), QString("Add Port Triggering"));
    QCOMPARE(c.protocol->count(), 3);
    QCOMPARE(c.protocol->itemText(0), QString("TCP"));
    QCOMPARE(c.protocol->itemText(1), QString("TCP and UDP"));
    QCOMPARE(c.protocol->itemText(2), QString("UDP"));
    QCOMPARE(c.protocol->currentText(), QString("TCP"));
    QCOMPARE(c.address->text(), QString(CAddPort::kDefaultTriggerAddress));
    QVERIFY(c.name->text().isEmpty());
    QVERIFY(c.start->text().isEmpty());
    QVERIFY(c.end->text().isEmpty());
    QVERIFY(c.frequency->text().isEmpty());
    QVERIFY(!c.autoStart->isChecked());
    QCOMPARE(c.autoStart->text(), QString("Auto port triggering when this software start up"));
    QVERIFY(dialog.findChild<QPushButton*>("okButton")->isDefault());
}

void CAddPortTest::labelsAreBuddiesOfTheirFields()
{
    std::vector<TriggeringEntry> entries;
    CAddPort dialog(entries, nullptr);
    QStringList buddies;
    for (auto* label : dialog.findChildren<QLabel*>()) {
        if (label->buddy() != nullptr)
            buddies << label->text() + "=" + label->buddy()->objectName();
    }
    buddies.sort();
    QCOMPARE(buddies, QStringList({"Frequence(ms): =frequencyEdit", "Name: =nameEdit",
                                   "Protocol: =protocolBox", "Trigger Address: =triggerAddressEdit",
                                   "Trigger Port: =endPortEdit", "Trigger Port: =startPortEdit"}));
    for (const char* text : {"(Start)", "(End)", "suggest larger than 100."}) {
        bool found = false;
        for (auto* label : dialog.findChildren<QLabel*>())
            found = found || label->text() == text;
        QVERIFY2(found, text);
    }
}

void CAddPortTest::checksRunInOrderWithTheirMessages()
{
    auto entries = TwoEntries();
    CAddPort dialog(entries, nullptr);
    dialog.show();
    Controls c(dialog);
    ModalCatcher catcher;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    catcher.answer = [&](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            icon = box->icon();
            box->accept();
        }
    };
    c.address->clear();

    auto expectRefusal = [&](const QString& message) {
        const int before = catcher.seen().size();
        dialog.accept();
        QCOMPARE(catcher.seen().size(), before + 1);
        QCOMPARE(catcher.seen().last().title, QString("ERROR!"));
        QCOMPARE(catcher.seen().last().text, message);
        QCOMPARE(icon, QMessageBox::Critical);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    };
    expectRefusal(kInvalidName);
    c.name->setText("Game");
    expectRefusal(kDuplicate);
    c.name->setText("Video");
    expectRefusal(kInvalidAddress);
    QCOMPARE(c.name->text(), QString("Video")); // the values stay as typed
    c.address->setText("127.0.0.1");
    expectRefusal(kInvalidStart);
    c.start->setText("0");
    expectRefusal(kInvalidFrequency); // an empty end port is no refusal
    c.frequency->setText("0");
    c.end->setText("99999");
    c.protocol->setCurrentIndex(c.protocol->findText("UDP"));
    c.autoStart->setChecked(true);
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(catcher.seen().size(), 5);
    const auto& t = dialog.texts();
    QCOMPARE(QString::fromStdString(t.name), QString("Video"));
    QCOMPARE(QString::fromStdString(t.protocol), QString("UDP"));
    QCOMPARE(QString::fromStdString(t.trigger_address), QString("127.0.0.1"));
    QCOMPARE(QString::fromStdString(t.trigger_port), QString("0"));
    QCOMPARE(QString::fromStdString(t.trigger_port_end), QString("99999"));
    QCOMPARE(QString::fromStdString(t.frequence), QString("0"));
    QCOMPARE(QString::fromStdString(t.auto_start), QString("Y"));
}

void CAddPortTest::emptyEndPortBecomesTheStartPort()
{
    std::vector<TriggeringEntry> entries;
    CAddPort dialog(entries, nullptr);
    Controls c(dialog);
    c.name->setText("x");
    c.start->setText("6000");
    c.frequency->setText("250");
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(QString::fromStdString(dialog.texts().trigger_port_end), QString("6000"));
    QCOMPARE(QString::fromStdString(dialog.texts().auto_start), QString("N"));
    QCOMPARE(QString::fromStdString(dialog.texts().protocol), QString("TCP"));
}

void CAddPortTest::namesDifferingInCaseAreDifferent()
{
    auto entries = TwoEntries();
    CAddPort dialog(entries, nullptr);
    ModalCatcher catcher;
    Controls c(dialog);
    c.name->setText("GAME");
    c.start->setText("1");
    c.frequency->setText("1");
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(catcher.seen().isEmpty());
}

void CAddPortTest::nameOfSpacesIsAccepted()
{
    std::vector<TriggeringEntry> entries;
    CAddPort dialog(entries, nullptr);
    Controls c(dialog);
    c.name->setText("   ");
    c.start->setText("1");
    c.frequency->setText("1");
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(QString::fromStdString(dialog.texts().name), QString("   ")); // nothing is trimmed
}

void CAddPortTest::editKeepsAnUnchangedNameAndRefusesAnotherEntrysName()
{
    auto entries = TwoEntries();
    {
        CAddPort dialog(entries, &entries[0]);
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(QString::fromStdString(dialog.texts().name), QString("Game"));
    }
    {
        CAddPort dialog(entries, &entries[0]);
        dialog.show();
        ModalCatcher catcher;
        Find<QLineEdit>(dialog, "nameEdit")->setText("Chat");
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(catcher.texts(), QStringList({kDuplicate}));
    }
}

void CAddPortTest::editShowsTheEntryAndMapsOtherProtocolsToBoth()
{
    auto entries = TwoEntries();
    velmora::SetField(entries[0].auto_start, "Y");
    {
        CAddPort dialog(entries, &entries[0]);
        Controls c(dialog);
        QCOMPARE(c.name->text(), QString("Game"));
        QCOMPARE(c.protocol->currentText(), QString("UDP"));
        QCOMPARE(c.address->text(), QString("example.org"));
        QCOMPARE(c.start->text(), QString("3000"));
        QCOMPARE(c.end->text(), QString("3010"));
        QCOMPARE(c.frequency->text(), QString("500"));
        QVERIFY(c.autoStart->isChecked());
    }
    velmora::SetField(entries[1].protocol, "tcp");
    velmora::SetField(entries[1].auto_start, "y");
    CAddPort dialog(entries, &entries[1]);
    Controls c(dialog);
    QCOMPARE(c.protocol->currentText(), QString("TCP and UDP"));
    QVERIFY(!c.autoStart->isChecked());
    dialog.accept();
    QCOMPARE(QString::fromStdString(dialog.texts().protocol), QString("TCP and UDP"));
    QCOMPARE(QString::fromStdString(dialog.texts().auto_start), QString("N"));
}

void CAddPortTest::typedProtocolTextKeepsTheLastSelection()
{
    std::vector<TriggeringEntry> entries;
    CAddPort dialog(entries, nullptr);
    Controls c(dialog);
    c.protocol->setCurrentIndex(c.protocol->findText("TCP and UDP"));
    c.protocol->lineEdit()->setText("SCTP");
    c.name->setText("x");
    c.start->setText("1");
    c.frequency->setText("1");
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(QString::fromStdString(dialog.texts().protocol), QString("TCP and UDP"));
}

void CAddPortTest::endPortCopiesTheStartPortEachTimeItGainsFocus()
{
    std::vector<TriggeringEntry> entries;
    CAddPort dialog(entries, nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    Controls c(dialog);
    c.start->setFocus();
    QTest::keyClicks(c.start, "5000");
    QTest::keyClick(c.start, Qt::Key_Tab); // the tab order leads from start to end port
    QTRY_VERIFY(c.end->hasFocus());
    QCOMPARE(c.end->text(), QString("5000"));
    // Tabbing in selects the copy, so what the user types becomes the end of the range.
    QTest::keyClicks(c.end, "5010");
    QCOMPARE(c.end->text(), QString("5010"));
    c.frequency->setFocus();
    QTRY_VERIFY(c.frequency->hasFocus());
    c.end->setFocus();
    QTRY_VERIFY(c.end->hasFocus());
    QCOMPARE(c.end->text(), QString("5000"));

    c.start->clear();
    c.end->setText("77");
    c.frequency->setFocus();
    QTRY_VERIFY(c.frequency->hasFocus());
    c.end->setFocus();
    QTRY_VERIFY(c.end->hasFocus());
    QCOMPARE(c.end->text(), QString("77")); // an empty start port copies nothing
}

void CAddPortTest::helpButtonsShowTheirTexts()
{
    std::vector<TriggeringEntry> entries;
    CAddPort dialog(entries, nullptr);
    dialog.show();
    ModalCatcher catcher;
    QList<QMessageBox::Icon> icons;
    QList<QMessageBox::StandardButtons> buttons;
    catcher.answer = [&](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            icons << box->icon();
            buttons << box->standardButtons();
            box->accept();
        }
    };
    const char* helps[] = {"nameHelp", "protocolHelp", "triggerAddressHelp", "startPortHelp",
                           "frequencyHelp"};
    for (const char* help : helps) {
        auto* button = Find<QPushButton>(dialog, help);
        QCOMPARE(button->text(), QString("?"));
        QVERIFY(!button->accessibleName().isEmpty());
        button->click();
    }
    QCOMPARE(catcher.texts(),
             QStringList({"Name for this entry, this is used for our software only and doesn't "
                          "affect your port triggering.",
                          "Protocol type should be the same type set in your router for the port "
                          "trigger.",
                          "Could be a website address or IP address. This can be anything you "
                          "like as long as it is a valid address and outside of your local "
                          "network.",
                          "Trigger port should be the trigger port set in your router.",
                          "Frequence is how often the software will wait before running the "
                          "triggering port again."}));
    for (auto icon : icons)
        QCOMPARE(icon, QMessageBox::NoIcon);
    for (auto shown : buttons)
        QCOMPARE(shown, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(dialog.isVisible());
}

void CAddPortTest::numberEditsTakeDigitsOnlyWithinTheirFields()
{
    std::vector<TriggeringEntry> entries;
    CAddPort dialog(entries, nullptr);
    dialog.show();
    Controls c(dialog);
    QTest::keyClicks(c.start, "12a-3 4+");
    QCOMPARE(c.start->text(), QString("1234"));
    QTest::keyClicks(c.frequency, "1234567890123");
    QCOMPARE(c.frequency->text(), QString("123456789"));
    QTest::keyClicks(c.end, QString(40, '9'));
    QCOMPARE(c.end->text().size(), qsizetype(19));
}

void CAddPortTest::textEditsStayWithinTheirFieldsInUtf8()
{
    std::vector<TriggeringEntry> entries;
    CAddPort dialog(entries, nullptr);
    Controls c(dialog);
    c.name->clear();
    c.name->insert(QString(300, 'n'));
    QCOMPARE(c.name->text().size(), qsizetype(255)); // cut to what the field holds
    c.name->clear();
    c.name->insert(QString(128, QChar(0xE9))); // 256 bytes in UTF-8
    QVERIFY(c.name->text().isEmpty());
    c.name->insert(QString(127, QChar(0xE9)));
    QCOMPARE(c.name->text().toUtf8().size(), qsizetype(254));
    c.address->clear();
    c.address->insert(QString(300, 'a'));
    QCOMPARE(c.address->text().size(), qsizetype(254));
    c.address->clear();
    c.address->insert(QString(128, QChar(0x4E2D))); // 384 bytes in UTF-8
    QVERIFY(c.address->text().isEmpty());
    c.address->insert(QString(84, QChar(0x4E2D)));
    QCOMPARE(c.address->text().toUtf8().size(), qsizetype(252));

    c.start->setText("1");
    c.frequency->setText("1");
    dialog.accept();
    auto entry = velmora::ZeroedRecord<TriggeringEntry>();
    velmora::SetField(entry.name, dialog.texts().name);
    QCOMPARE(std::string(velmora::Field(entry.name)), dialog.texts().name); // nothing cut
}

void CAddPortTest::cancelHandsNothingBack()
{
    auto entries = TwoEntries();
    const auto before = entries;
    CAddPort dialog(entries, &entries[0]);
    Find<QLineEdit>(dialog, "nameEdit")->setText("Changed");
    Find<QPushButton>(dialog, "cancelButton")->click();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(dialog.texts().name.empty());
    QCOMPARE(std::memcmp(&before[0], &entries[0], sizeof(TriggeringEntry)), 0);
}

QTEST_MAIN(CAddPortTest)
#include "CAddPortTest.moc"
