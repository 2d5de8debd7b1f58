#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>

class QWidget;

namespace velmora::test {

// Waits for modal windows (message boxes, dialogs) while the code under test
// runs its own event loop, records their title and text, and answers them.
// The default answer accepts a message box or dialog; set `answer` to act
// on the widget yourself (fill fields, press a button).
class ModalCatcher final : public QObject
{
public:
    struct Seen
    {
        QString title;
        QString text;
        bool messageBox = false;
    };

    explicit ModalCatcher(QObject* parent = nullptr);

    std::function<void(QWidget* modal)> answer;
    const QList<Seen>& seen() const { return seen_; }
    QStringList texts() const;
    // The texts of the message boxes seen, in order (other windows left out).
    QStringList messageTexts() const;

private:
    void poll();

    QTimer timer_;
    QList<Seen> seen_;
    QPointer<QWidget> last_;
};

// An answer that accepts message boxes and leaves every other modal window
// (a progress dialog, say) to the code under test.
void AcceptMessageBoxes(QWidget* modal);

// Runs the event loop until `done` holds or `timeoutMs` passes; returns `done()`.
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 5000);

} // namespace velmora::test
