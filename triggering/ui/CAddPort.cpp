#include "triggering/ui/CAddPort.h"

#include "config/core/ConfigLoader.h"
#include "platform/ui/StoredWords.h"
#include "platform/ui/Utf8LengthValidator.h"
#include "triggering/ui/ModalBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace {

std::string Utf8(const QString& text)
{
    return text.toUtf8().toStdString();
}

QString FromField(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QLineEdit* TextEdit(const char* objectName, int maxBytes, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(objectName);
    edit->setValidator(new velmora::Utf8LengthValidator(
        maxBytes, edit, velmora::Utf8LengthValidator::Overflow::Cut));
    return edit;
}

QLineEdit* DigitsEdit(const char* objectName, int maxDigits, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(objectName);
    edit->setMaxLength(maxDigits);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
    return edit;
}

QPushButton* HelpButton(const char* objectName, const QString& beside, const char* text,
                        QWidget* parent)
{
    auto* button = new QPushButton("?", parent);
    button->setObjectName(objectName);
    button->setAccessibleName(QCoreApplication::translate("CAddPort", "Help: ") + beside);
    button->setAutoDefault(false);
    button->setFixedWidth(30);
    QObject::connect(button, &QPushButton::clicked, parent, [parent, text] {
        velmora::ShowModalBox(parent, QMessageBox::NoIcon, QCoreApplication::applicationName(),
                              QCoreApplication::translate("CAddPort", text));
    });
    return button;
}

} // namespace

CAddPort::CAddPort(const std::vector<TriggeringEntry>& entries, const TriggeringEntry* editing,
                   QWidget* parent)
    : QDialog(parent), entries_(entries)
{
    setObjectName("CAddPort");
    setWindowTitle(tr("Add Port Triggering"));
    buildControls();
    fillFrom(editing);
}

void CAddPort::buildControls()
{
    const auto sample = velmora::ZeroedRecord<TriggeringEntry>();
    name_ = TextEdit("nameEdit", static_cast<int>(velmora::StorableLength(sample.name)), this);
    protocol_ = new QComboBox(this);
    protocol_->setObjectName("protocolBox");
    protocol_->setEditable(true);
    protocol_->setInsertPolicy(QComboBox::NoInsert);
    velmora::AddStoredItems(protocol_, {"TCP", "TCP and UDP", "UDP"}); // the box is sorted
    address_ = TextEdit("triggerAddressEdit",
                        static_cast<int>(velmora::StorableLength(sample.trigger_address)), this);
    const int portDigits = static_cast<int>(velmora::StorableLength(sample.trigger_port));
    startPort_ = DigitsEdit("startPortEdit", portDigits, this);
    endPort_ = DigitsEdit("endPortEdit", portDigits, this);
    endPort_->installEventFilter(this);
    frequency_ = DigitsEdit("frequencyEdit", kFrequencyDigits, this);
    autoStart_ = new QCheckBox(tr("Auto port triggering when this software start up"), this);
    autoStart_->setObjectName("autoStartCheck");

    auto label = [this](const QString& text, QWidget* buddy) {
        auto* shown = new QLabel(text, this);
        shown->setBuddy(buddy);
        return shown;
    };
    auto* grid = new QGridLayout;
    grid->addWidget(label(tr("Name: "), name_), 0, 0);
    grid->addWidget(name_, 0, 1);
    grid->addWidget(label(tr("Protocol: "), protocol_), 1, 0);
    grid->addWidget(protocol_, 1, 1);
    grid->addWidget(label(tr("Trigger Address: "), address_), 2, 0);
    grid->addWidget(address_, 2, 1);
    grid->addWidget(label(tr("Trigger Port: "), startPort_), 3, 0);
    grid->addWidget(startPort_, 3, 1);
    grid->addWidget(new QLabel(tr("(Start)"), this), 3, 2);
    grid->addWidget(label(tr("Trigger Port: "), endPort_), 4, 0);
    grid->addWidget(endPort_, 4, 1);
    grid->addWidget(new QLabel(tr("(End)"), this), 4, 2);
    grid->addWidget(label(tr("Frequence(ms): "), frequency_), 5, 0);
    grid->addWidget(frequency_, 5, 1);
    grid->addWidget(new QLabel(tr("suggest larger than 100."), this), 6, 1, Qt::AlignRight);
    grid->addWidget(autoStart_, 7, 0, 1, 3);

    // Texts of the help boxes, beside the fields they explain.
    auto* helpName = HelpButton(
        "nameHelp", tr("Name"),
        QT_TRANSLATE_NOOP("CAddPort", "Name for this entry, this is used for our software only and "
                                      "doesn't affect your port triggering."),
        this);
    auto* helpProtocol = HelpButton(
        "protocolHelp", tr("Protocol"),
        QT_TRANSLATE_NOOP(
            "CAddPort",
            "Protocol type should be the same type set in your router for the port trigger."),
        this);
    auto* helpAddress =
        HelpButton("triggerAddressHelp", tr("Trigger Address"),
                   QT_TRANSLATE_NOOP(
                       "CAddPort",
                       "Could be a website address or IP address. This can be anything you like as "
                       "long as it is a valid address and outside of your local network."),
                   this);
    auto* helpPort =
        HelpButton("startPortHelp", tr("Trigger Port"),
                   QT_TRANSLATE_NOOP("CAddPort",
                                     "Trigger port should be the trigger port set in your router."),
                   this);
    auto* helpFrequency =
        HelpButton("frequencyHelp", tr("Frequence"),
                   QT_TRANSLATE_NOOP("CAddPort", "Frequence is how often the software will wait "
                                                 "before running the triggering port again."),
                   this);
    grid->addWidget(helpName, 0, 3);
    grid->addWidget(helpProtocol, 1, 3);
    grid->addWidget(helpAddress, 2, 3);
    grid->addWidget(helpPort, 3, 3, 2, 1, Qt::AlignVCenter); // both trigger port rows
    grid->addWidget(helpFrequency, 5, 3);
    grid->setColumnStretch(1, 1);

    auto* ok = new QPushButton(tr("OK"), this);
    ok->setObjectName("okButton");
    ok->setDefault(true);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName("cancelButton");
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &CAddPort::accept);
    connect(cancel, &QPushButton::clicked, this, &CAddPort::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch();

    auto* page = new QVBoxLayout(this);
    page->addLayout(grid);
    page->addLayout(buttons);

    // Tab reads the form row by row: each field, then its help; the two
    // trigger ports one after the other, as the end port copies the start.
    QWidget* order[] = {name_,         helpName,   protocol_, helpProtocol, address_,
                        helpAddress,   startPort_, endPort_,  helpPort,     frequency_,
                        helpFrequency, autoStart_, ok,        cancel};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    name_->setFocus();
}

void CAddPort::fillFrom(const TriggeringEntry* editing)
{
    if (editing == nullptr) {
        protocol_->setCurrentIndex(protocol_->findData("TCP"));
        address_->setText(kDefaultTriggerAddress);
        return;
    }
    editing_ = true;
    editedName_ = std::string(velmora::Field(editing->name));
    name_->setText(FromField(velmora::Field(editing->name)));
    address_->setText(FromField(velmora::Field(editing->trigger_address)));
    startPort_->setText(FromField(velmora::Field(editing->trigger_port)));
    endPort_->setText(FromField(velmora::Field(editing->trigger_port_end)));
    frequency_->setText(FromField(velmora::Field(editing->frequence)));
    const std::string_view protocol = velmora::Field(editing->protocol);
    const char* selected = protocol == "TCP" ? "TCP" : protocol == "UDP" ? "UDP" : "TCP and UDP";
    protocol_->setCurrentIndex(protocol_->findData(selected));
    autoStart_->setChecked(velmora::Field(editing->auto_start) == "Y");
}

bool CAddPort::eventFilter(QObject* watched, QEvent* event)
{
    // Entering the end port starts it over from the start port, every time.
    if (watched == endPort_ && event->type() == QEvent::FocusIn && !startPort_->text().isEmpty())
        endPort_->setText(startPort_->text());
    return QDialog::eventFilter(watched, event);
}

void CAddPort::refuse(const QString& message)
{
    velmora::ShowModalBox(this, QMessageBox::Critical, tr("ERROR!"), message);
}

bool CAddPort::nameTaken(const std::string& name) const
{
    for (const auto& entry : entries_) {
        if (velmora::Field(entry.name) == name) // byte for byte: case matters
            return true;
    }
    return false;
}

void CAddPort::accept()
{
    Texts texts;
    texts.name = Utf8(name_->text());
    if (texts.name.empty())
        return refuse(tr("invalid name, please reenter again!"));
    if (!(editing_ && texts.name == editedName_) && nameTaken(texts.name))
        return refuse(tr("the port triggering name has already existed, please reenter again!"));
    // Only a list item counts; typed text keeps the last selection.
    const int selected = protocol_->currentIndex();
    texts.protocol = Utf8(protocol_->itemData(selected >= 0 ? selected : 0).toString());
    texts.trigger_address = Utf8(address_->text());
    if (texts.trigger_address.empty())
        return refuse(tr("invalid trigger address, please reenter again!"));
    texts.trigger_port = Utf8(startPort_->text());
    if (texts.trigger_port.empty())
        return refuse(tr("invalid start trigger port, please reenter again!"));
    texts.trigger_port_end = Utf8(endPort_->text());
    if (texts.trigger_port_end.empty())
        texts.trigger_port_end = texts.trigger_port;
    texts.frequence = Utf8(frequency_->text());
    if (texts.frequence.empty())
        return refuse(tr("invalid frequence, please reenter again!"));
    texts.auto_start.assign(1, autoStart_->isChecked() ? 'Y' : 'N');
    texts_ = std::move(texts);
    QDialog::accept();
}
