#include "tests/support/ModalCatcher.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QMessageBox>
#include <QTest>

namespace velmora::test {

ModalCatcher::ModalCatcher(QObject* parent) : QObject(parent)
{
    timer_.setInterval(20);
    connect(&timer_, &QTimer::timeout, this, &ModalCatcher::poll);
    timer_.start();
}

QStringList ModalCatcher::texts() const
{
    QStringList out;
    for (const auto& s : seen_)
        out << s.text;
    return out;
}

QStringList ModalCatcher::messageTexts() const
{
    QStringList out;
    for (const auto& s : seen_) {
        if (s.messageBox)
            out << s.text;
    }
    return out;
}

void AcceptMessageBoxes(QWidget* modal)
{
    if (auto* box = qobject_cast<QMessageBox*>(modal))
        box->accept();
}

void ModalCatcher::poll()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal == last_)
        return;
    last_ = modal;
    Seen s{modal->windowTitle(), QString()};
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        s.text = box->text();
        s.messageBox = true;
    }
    seen_.append(s);
    if (answer) {
        answer(modal);
    } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        box->accept();
    } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
        dialog->accept();
    }
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done() && !deadline.hasExpired())
        QTest::qWait(10);
    return done();
}

} // namespace velmora::test
