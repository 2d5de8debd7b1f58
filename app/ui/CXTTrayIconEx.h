#pragma once

#include <QObject>
#include <QSystemTrayIcon>

class QAction;
class QMenu;

// The tray icon: tip "Velmora", a menu with "&Exit" and "&Open Velmora" (the
// default item); a left click or a double click opens the main window. Where
// the desktop has no system tray the icon is simply not shown and available()
// says so.
class CXTTrayIconEx : public QObject
{
    Q_OBJECT
public:
    explicit CXTTrayIconEx(QObject* parent = nullptr);
    ~CXTTrayIconEx() override;

    // Makes the icon; false where the desktop has no system tray.
    bool create(const QString& tip, const QIcon& icon, bool trayAvailable);
    bool available() const { return available_; }
    void remove();
    // Control characters are shown written out ("\t", "\x1B", ...); the line
    // breaks of a text of several lines stay, the title has none.
    void showBalloon(const QString& title, const QString& text, int timeoutMs);

    QMenu* menu() const { return menu_; }
    QAction* exitAction() const { return exit_; }
    QAction* openAction() const { return open_; }

signals:
    void openRequested(); // left click, double click or "&Open Velmora"
    void exitRequested(); // "&Exit"
    // Every balloon asked for, as shown or as it would be (a desktop without a
    // tray shows none).
    void balloonRequested(const QString& title, const QString& text);

private:
    QSystemTrayIcon* icon_ = nullptr;
    QMenu* menu_ = nullptr;
    QAction* exit_ = nullptr;
    QAction* open_ = nullptr;
    bool available_ = false;
};
