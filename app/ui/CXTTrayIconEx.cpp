#include "app/ui/CXTTrayIconEx.h"

#include "platform/ControlText.h"

#include <QMenu>

namespace {
// A balloon's lines with their control characters written out; the line
// breaks between them stay.
QString Escaped(const QString& text)
{
    QStringList lines = text.split('\n');
    for (QString& line : lines)
        line = QString::fromStdString(velmora::EscapeControlCharacters(line.toStdString()));
    return lines.join('\n');
}
} // namespace

CXTTrayIconEx::CXTTrayIconEx(QObject* parent) : QObject(parent)
{
    menu_ = new QMenu(tr("Tray"));
    menu_->setObjectName("trayMenu");
    exit_ = menu_->addAction(tr("&Exit"));
    exit_->setObjectName("trayExit");
    open_ = menu_->addAction(tr("&Open Velmora"));
    open_->setObjectName("trayOpen");
    menu_->setDefaultAction(open_);
    connect(exit_, &QAction::triggered, this, &CXTTrayIconEx::exitRequested);
    connect(open_, &QAction::triggered, this, &CXTTrayIconEx::openRequested);
}

CXTTrayIconEx::~CXTTrayIconEx()
{
    remove();
    delete menu_;
}

bool CXTTrayIconEx::create(const QString& tip, const QIcon& icon, bool trayAvailable)
{
    available_ = trayAvailable;
    if (!available_)
        return false;
    icon_ = new QSystemTrayIcon(icon, this);
    icon_->setToolTip(tip);
    icon_->setContextMenu(menu_); // shown on a right click
    connect(icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason why) {
                // Trays that speak StatusNotifierItem (KDE Plasma, GNOME's AppIndicator
                // extension) report a left click as Trigger and never a double click.
                if (why == QSystemTrayIcon::Trigger || why == QSystemTrayIcon::DoubleClick)
                    emit openRequested();
            });
    icon_->show();
    return true;
}

void CXTTrayIconEx::remove()
{
    if (icon_) {
        icon_->hide();
        delete icon_;
        icon_ = nullptr;
    }
}

void CXTTrayIconEx::showBalloon(const QString& shownTitle, const QString& shownText, int timeoutMs)
{
    const QString title = Escaped(shownTitle).replace('\n', "\\n");
    const QString text = Escaped(shownText);
    emit balloonRequested(title, text);
    if (icon_ && QSystemTrayIcon::supportsMessages())
        icon_->showMessage(title, text, QSystemTrayIcon::Information, timeoutMs);
}
