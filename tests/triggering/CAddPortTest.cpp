#include "triggering/ui/CAddPort.h"

#include "tests/support/ModalCatcher.h"
#include "tests/triggering/TriggeringTestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <tuple>

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

const QString kDuplicate = "the port triggering name has already existed, please reenter again!";

std::vector<TriggeringEntry> TwoEntries()
{
    return {MakeTriggeringEntry("Game", "UDP", "example.org", 3000, 3010, 500),
            MakeTriggeringEntry("Chat", "TCP", "10.0.0.1", 4000, 4000, 100)};
}

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

// The texts OK hands back, in the order of CAddPort::Texts.
QStringList Handed(const CAddPort& dialog)
{
    const auto& t = dialog.texts();
    return {Q(t.name),         Q(t.protocol),         Q(t.trigger_address),
            Q(t.trigger_port), Q(t.trigger_port_end), Q(t.frequence),
            Q(t.auto_start)};
}

} // namespace

class CAddPortTest : public QObject
{
    Q_OBJECT

private slots:
    void addShowsTheLayoutAndDefaults();
    void checksRunInOrderWithTheirMessages();
    void acceptsWhatTheChecksLetThrough();
    void editShowsTheEntryKeepsItsNameAndRefusesAnotherEntrysName();
    void endPortCopiesTheStartPortEachTimeItGainsFocus();
    void helpButtonsShowTheirTexts();
    void editsKeepTheirTextsWithinTheirFields();
};

void CAddPortTest::addShowsTheLayoutAndDefaults()
{
    std::vector<TriggeringEntry> entries;
    CAddPort dialog(entries, nullptr);
    Controls c(dialog);
    QCOMPARE(dialog.windowTitle(), QString("Add Port Triggering"));
    QStringList protocols;
    for (int i = 0; i < c.protocol->count(); ++i)
        protocols << c.protocol->itemText(i);
    QCOMPARE(protocols, QStringList({"TCP", "TCP and UDP", "UDP"})); // sorted
    QCOMPARE(c.protocol->currentText(), QString("TCP"));
    QCOMPARE(c.address->text(), QString(CAddPort::kDefaultTriggerAddress));
    for (auto* empty : {c.name, c.start, c.end, c.frequency})
        QVERIFY2(empty->text().isEmpty(), qPrintable(empty->objectName()));
    QVERIFY(!c.autoStart->isChecked());
    QCOMPARE(c.autoStart->text(), QString("Auto port triggering when this software start up"));
    QVERIFY(dialog.findChild<QPushButton*>("okButton")->isDefault());

    QStringList labels;
    for (auto* label : dialog.findChildren<QLabel*>())
        labels << label->text() + "=" + (label->buddy() ? label->buddy()->objectName() : "");
    labels.sort();
    QCOMPARE(labels,
             QStringList({"(End)=", "(Start)=", "Frequence(ms): =frequencyEdit", "Name: =nameEdit",
                          "Protocol: =protocolBox", "Trigger Address: =triggerAddressEdit",
                          "Trigger Port: =endPortEdit", "Trigger Port: =startPortEdit",
                          "suggest larger than 100.="}));
}

void CAddPortTest::checksRunInOrderWithTheirMessages()
{
    auto entries = TwoEntries();
    CAddPort dialog(entries, nullptr);
    dialog.show();
    Controls c(dialog);
    ModalCatcher catcher;
    QList<QMessageBox::Icon> icons;
    catcher.answer = [&](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            icons << box->icon();
            box->accept();
        }
    };
    c.address->clear();
    // Each step mends the previous refusal; an empty end port is no refusal.
    const std::pair<std::function<void()>, QString> steps[] = {
        {[] {}, "invalid name, please reenter again!"},
        {[&] { c.name->setText("Game"); }, kDuplicate},
        {[&] { c.name->setText("Video"); }, "invalid trigger address, please reenter again!"},
        {[&] { c.address->setText("127.0.0.1"); },
         "invalid start trigger port, please reenter again!"},
        {[&] { c.start->setText("0"); }, "invalid frequence, please reenter again!"},
    };
    for (const auto& [mend, message] : steps) {
        const auto shown = catcher.seen().size();
        mend();
        dialog.accept();
        QCOMPARE(catcher.seen().size(), shown + 1);
        QCOMPARE(catcher.seen().last().title, QString("ERROR!"));
        QCOMPARE(catcher.seen().last().text, message);
        QCOMPARE(icons.last(), QMessageBox::Critical);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }
    QCOMPARE(c.name->text(), QString("Video")); // the values stay as typed
    c.frequency->setText("0");
    c.end->setText("99999");
    c.protocol->setCurrentIndex(c.protocol->findText("UDP"));
    c.autoStart->setChecked(true);
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(catcher.seen().size(), 5);
    QCOMPARE(Handed(dialog), QStringList({"Video", "UDP", "127.0.0.1", "0", "99999", "0", "Y"}));
}

void CAddPortTest::acceptsWhatTheChecksLetThrough()
{
    auto entries = TwoEntries();
    ModalCatcher catcher;
    // A name differing from another only in case; blanks kept as typed; an
    // empty end port taking the start port; typed protocol text ignored.
    for (const QString& name : {QString("GAME"), QString("   ")}) {
        CAddPort dialog(entries, nullptr);
        Controls c(dialog);
        c.name->setText(name);
        c.start->setText("6000");
        c.frequency->setText("1");
        c.protocol->setCurrentIndex(c.protocol->findText("TCP and UDP"));
        c.protocol->lineEdit()->setText("SCTP");
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(Handed(dialog), QStringList({name, "TCP and UDP", CAddPort::kDefaultTriggerAddress,
                                              "6000", "6000", "1", "N"}));
    }
    QVERIFY(catcher.seen().isEmpty());
}

void CAddPortTest::editShowsTheEntryKeepsItsNameAndRefusesAnotherEntrysName()
{
    auto entries = TwoEntries();
    velmora::SetField(entries[0].auto_start, "Y");
    {
        CAddPort dialog(entries, &entries[0]);
        Controls c(dialog);
        QCOMPARE(c.protocol->currentText(), QString("UDP"));
        QVERIFY(c.autoStart->isChecked());
        dialog.accept(); // its own, unchanged name is no duplicate
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(Handed(dialog),
                 QStringList({"Game", "UDP", "example.org", "3000", "3010", "500", "Y"}));
    }
    {
        CAddPort dialog(entries, &entries[0]);
        dialog.show();
        ModalCatcher catcher;
        Find<QLineEdit>(dialog, "nameEdit")->setText("Chat");
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(catcher.texts(), QStringList({kDuplicate}));
        Find<QPushButton>(dialog, "cancelButton")->click();
        QVERIFY(dialog.texts().name.empty()); // Cancel hands nothing back
    }
    // Protocol text outside the box reads as both; auto start is only "Y".
    velmora::SetField(entries[1].protocol, "tcp");
    velmora::SetField(entries[1].auto_start, "y");
    CAddPort dialog(entries, &entries[1]);
    QVERIFY(!Controls(dialog).autoStart->isChecked());
    dialog.accept();
    QCOMPARE(Handed(dialog),
             QStringList({"Chat", "TCP and UDP", "10.0.0.1", "4000", "4000", "100", "N"}));
}

void CAddPortTest::endPortCopiesTheStartPortEachTimeItGainsFocus()
{
    std::vector<TriggeringEntry> entries;
    CAddPort dialog(entries, nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    Controls c(dialog);
    auto refocusEnd = [&] {
        c.frequency->setFocus();
        QTRY_VERIFY(c.frequency->hasFocus());
        c.end->setFocus();
        QTRY_VERIFY(c.end->hasFocus());
    };
    c.start->setFocus();
    QTest::keyClicks(c.start, "5000");
    QTest::keyClick(c.start, Qt::Key_Tab); // the tab order leads from start to end port
    QTRY_VERIFY(c.end->hasFocus());
    QCOMPARE(c.end->text(), QString("5000"));
    // Tabbing in selects the copy, so what the user types becomes the end of the range.
    QTest::keyClicks(c.end, "5010");
    QCOMPARE(c.end->text(), QString("5010"));
    refocusEnd();
    QCOMPARE(c.end->text(), QString("5000"));
    c.start->clear();
    c.end->setText("77");
    refocusEnd();
    QCOMPARE(c.end->text(), QString("77")); // an empty start port copies nothing
}

void CAddPortTest::helpButtonsShowTheirTexts()
{
    std::vector<TriggeringEntry> entries;
    CAddPort dialog(entries, nullptr);
    dialog.show();
    ModalCatcher catcher;
    int plainOkBoxes = 0; // no icon, only OK
    catcher.answer = [&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        plainOkBoxes +=
            box && box->icon() == QMessageBox::NoIcon && box->standardButtons() == QMessageBox::Ok;
        static_cast<QDialog*>(modal)->accept();
    };
    for (const char* help :
         {"nameHelp", "protocolHelp", "triggerAddressHelp", "startPortHelp", "frequencyHelp"}) {
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
    QCOMPARE(plainOkBoxes, 5);
    QVERIFY(dialog.isVisible());
}

void CAddPortTest::editsKeepTheirTextsWithinTheirFields()
{
    std::vector<TriggeringEntry> entries;
    CAddPort dialog(entries, nullptr);
    dialog.show();
    Controls c(dialog);
    QTest::keyClicks(c.start, "12a-3 4+");
    QCOMPARE(c.start->text(), QString("1234")); // digits only
    QTest::keyClicks(c.frequency, "1234567890123");
    QCOMPARE(c.frequency->text(), QString("123456789"));
    QTest::keyClicks(c.end, QString(40, '9'));
    QCOMPARE(c.end->text().size(), qsizetype(19));

    // Text edits keep what the reader gives back whole: 128 UTF-8 bytes. A
    // paste that does not fit is cut on a character boundary.
    const QString grin = QString::fromUcs4(U"\U0001F600"); // four bytes, two UTF-16 units
    const std::tuple<QLineEdit*, QString, QString> cases[] = {
        {c.name, QString(300, 'n'), QString(128, 'n')},
        {c.name, QString(128, QChar(0xE9)), QString(64, QChar(0xE9))},
        {c.address, QString(300, 'a'), QString(128, 'a')},
        {c.address, QString(128, QChar(0x4E2D)), QString(42, QChar(0x4E2D))},
        {c.address, "a" + grin.repeated(40), "a" + grin.repeated(31)},
    };
    for (const auto& [edit, pasted, kept] : cases) {
        edit->clear();
        edit->insert(pasted);
        QCOMPARE(edit->text(), kept);
    }
    c.frequency->setText("1");
    dialog.accept();
    auto entry = velmora::ZeroedRecord<TriggeringEntry>();
    velmora::SetField(entry.name, dialog.texts().name);
    QCOMPARE(std::string(velmora::Field(entry.name)), dialog.texts().name); // nothing cut
}

QTEST_MAIN(CAddPortTest)
#include "CAddPortTest.moc"
