#include "router/ui/RouterScanController.h"

#include "platform/NetworkInterfaces.h"
#include "platform/Version.h"
#include "platform/ui/DialogWorker.h"
#include "platform/ui/Tr.h"
#include "platform/ui/Words.h"
#include "router/core/RouterInfoReport.h"
#include "router/ui/Error.h"
#include "router/ui/OfferLines.h"

#include <QComboBox>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

namespace velmora {

namespace {

constexpr char kAppleNoInfo[] =
    QT_TRANSLATE_NOOP("velmora", "Apple router does not support view info.");
constexpr char kInfoCaption[] = QT_TRANSLATE_NOOP("velmora", "Router Info");

void SetVisible(QWidget* widget, bool visible)
{
    if (widget)
        widget->setVisible(visible);
}

int IndexOf(const RouterList& list, const RouterEntryPtr& entry)
{
    const auto at = std::find(list.begin(), list.end(), entry);
    return at == list.end() ? -1 : static_cast<int>(at - list.begin());
}

} // namespace

RouterScanController::RouterScanController(const Widgets& widgets, QObject* parent)
    : QObject(parent), routerBox_(widgets.routerBox), info_(widgets.info), rescan_(widgets.rescan),
      progress_(widgets.progress), dialogParent_(widgets.dialogParent), steps_(NetworkScanSteps()),
      localAddresses_(&velmora::LocalIPv4Addresses)
{
    // Entry i is line i: pressing Enter in the edit field must not add a line.
    if (routerBox_) {
        routerBox_->setInsertPolicy(QComboBox::NoInsert);
        connect(routerBox_, &QComboBox::activated, this, [this](int line) {
            if (scanning_ && line >= 0 && line < static_cast<int>(routers_.size()))
                userChoice_ = routers_[static_cast<size_t>(line)];
        });
    }
    scanTimer_ = new QTimer(this);
    scanTimer_->setSingleShot(true);
    // What the scan has shown by then stands as its outcome.
    connect(scanTimer_, &QTimer::timeout, this, [this] { finishScan(routers_); });
    infoTimer_ = new QTimer(this);
    infoTimer_->setSingleShot(true);
    connect(infoTimer_, &QTimer::timeout, this, [this] { showInfoReport(RouterInfoValues{}); });
}

RouterScanController::~RouterScanController()
{
    if (infoWorker_)
        infoWorker_->stop();
    if (notFound_) {
        notFound_->disconnect(this);
        delete notFound_;
    }
    abandonWorker();
}

void RouterScanController::setScanSteps(RouterScanSteps steps,
                                        std::function<std::vector<std::string>()> localAddresses)
{
    steps_ = std::move(steps);
    localAddresses_ = std::move(localAddresses);
}

RouterEntryPtr RouterScanController::selectedRouter() const
{
    if (!routerBox_)
        return nullptr;
    int line = routerBox_->currentIndex();
    if (line < 0 || line >= static_cast<int>(routers_.size()))
        return nullptr;
    // Text typed into the edit field leaves no line selected.
    if (routerBox_->isEditable() && routerBox_->currentText() != routerBox_->itemText(line))
        return nullptr;
    return routers_[static_cast<size_t>(line)];
}

void RouterScanController::startScan()
{
    if (scanning_)
        return;
    beginScan();
}

void RouterScanController::rescan()
{
    if (scanning_)
        return;
    if (routerBox_)
        routerBox_->clear();
    router_found_ = false;
    scan_error_shown_ = false;
    beginScan();
}

void RouterScanController::beginScan()
{
    scanning_ = true;
    listed_ = false;
    userChoice_.reset();
    abandonWorker();
    // The list is emptied here, on the GUI thread; entries still held
    // elsewhere (an open dialog) live until released.
    routers_.clear();
    SetVisible(progress_, true);
    SetVisible(routerBox_, false);
    SetVisible(info_, false);
    SetVisible(rescan_, false);
    emit scanStarted();

    worker_ = std::make_unique<velmora::DialogWorker>(
        this, [this, steps = steps_, addresses = localAddresses_](velmora::GuiRelay& relay,
                                                                  const std::atomic<bool>& cancel) {
            RouterList found;
            // Each change of the list while the scan listens, in order.
            auto progress = [this, &relay](const RouterList& listed) {
                relay.post([this, listed] { showListed(listed); });
            };
            try {
                found = ScanRouters(addresses ? addresses() : std::vector<std::string>{}, steps,
                                    stdout, progress, &cancel);
            } catch (const std::exception&) {
                found.clear(); // a failed scan finds nothing
            }
            relay.post(
                [this, found = std::move(found)]() mutable { finishScan(std::move(found)); });
        });
    scanTimer_->start(scanDeadline_);
}

void RouterScanController::showListed(const RouterList& listed)
{
    if (!scanning_)
        return;
    showRouters(listed);
    if (listed_ == !listed.empty())
        return;
    listed_ = !listed.empty();
    SetVisible(progress_, !listed_);
    SetVisible(routerBox_, listed_);
    SetVisible(info_, listed_);
    if (listed_)
        emit routerListed();
}

void RouterScanController::showRouters(const RouterList& list)
{
    if (routerBox_) {
        // Lines that stay keep their place (and a popup its rows): those that
        // left go, the new ones come in where the list has them. Should the
        // order of the staying ones differ, the box is filled anew.
        RouterList staying;
        for (const RouterEntryPtr& entry : routers_)
            if (IndexOf(list, entry) >= 0)
                staying.push_back(entry);
        bool sameOrder = true;
        for (size_t i = 1; i < staying.size(); ++i)
            sameOrder = sameOrder && IndexOf(list, staying[i - 1]) < IndexOf(list, staying[i]);
        if (!sameOrder) {
            routerBox_->clear();
            routers_.clear();
        }
        for (int line = static_cast<int>(routers_.size()) - 1; line >= 0; --line) {
            if (IndexOf(list, routers_[static_cast<size_t>(line)]) < 0) {
                routerBox_->removeItem(line);
                routers_.erase(routers_.begin() + line);
            }
        }
        for (size_t line = 0; line < list.size(); ++line) {
            if (line < routers_.size() && routers_[line] == list[line])
                continue;
            routerBox_->insertItem(static_cast<int>(line),
                                   QString::fromStdString(list[line]->displayName()));
            routers_.insert(routers_.begin() + static_cast<long>(line), list[line]);
        }
    }
    routers_ = list;
    const int chosen = userChoice_ ? IndexOf(routers_, userChoice_) : -1;
    if (routerBox_ && !routers_.empty())
        routerBox_->setCurrentIndex(chosen >= 0 ? chosen : 0);
}

void RouterScanController::finishScan(RouterList found)
{
    scanTimer_->stop();
    abandonWorker(); // past the deadline, the scan's late result is dropped
    if (found.empty()) {
        showListed({}); // routers shown meanwhile and lost again go
        showRouterNotFound();
        return;
    }
    showRouters(found);
    SetVisible(progress_, false);
    SetVisible(routerBox_, true);
    SetVisible(info_, true);
    SetVisible(rescan_, true);
    router_found_ = true;
    scan_error_shown_ = true;
    scanning_ = false;
    emit routersFound();
}

void RouterScanController::showRouterNotFound()
{
    scan_error_shown_ = true;
    notFound_ = new Error(dialogParent_);
    notFound_->setWindowModality(Qt::ApplicationModal);
    connect(notFound_, &QDialog::finished, this, &RouterScanController::onRouterNotFoundClosed);
    notFound_->open();
    emit routerNotFoundShown();
}

void RouterScanController::onRouterNotFoundClosed()
{
    scan_error_shown_ = false;
    if (notFound_)
        notFound_->deleteLater();
    notFound_ = nullptr;
    beginScan();
}

void RouterScanController::showInfo()
{
    // Routers already listed may be asked while the scan still listens.
    if (routers_.empty() || infoWorker_)
        return;
    RouterEntryPtr router = selectedRouter();
    if (!router)
        return;
    // A NAT-PMP gateway that speaks PCP has something to tell: what it offers.
    if (router->is_apple && !router->speaks_pcp) {
        QMessageBox::warning(dialogParent_, velmora::kProductName, velmora::Tr(kAppleNoInfo));
        return;
    }
    if (info_)
        info_->setEnabled(false);
    // The entry stays alive with the worker, whatever a rescan does to the list.
    infoWorker_ = std::make_unique<velmora::DialogWorker>(
        this, [this, router](velmora::GuiRelay& relay, const std::atomic<bool>&) {
            RouterInfoValues values;
            if (!router->is_apple)
                values = QueryRouterInfo(router->data, router->urls);
            const OfferReport report = QueryOfferReport(*router);
            relay.post([this, values, offer = OfferLines(report), apple = router->is_apple] {
                showInfoReport(values, offer, apple);
            });
        });
    infoTimer_->start(infoDeadline_);
}

void RouterScanController::showInfoReport(const RouterInfoValues& values, const QString& offer,
                                          bool natPmp)
{
    infoTimer_->stop();
    if (infoWorker_) {
        infoWorker_->stop(); // past the deadline, its late answer is dropped
        infoWorker_.reset();
    }
    if (info_)
        info_->setEnabled(true);
    QString text = natPmp ? QString() : velmora::Words(RouterInfoReportText(values));
    if (!offer.isEmpty())
        text += (text.isEmpty() || text.endsWith('\n') ? "" : "\n") + offer;
    QMessageBox box(QMessageBox::NoIcon, velmora::Tr(kInfoCaption), text, QMessageBox::Ok,
                    dialogParent_);
    box.setObjectName("routerInfoBox");
    box.setTextFormat(Qt::PlainText); // the router's words, never read as rich text
    box.exec();
}

void RouterScanController::abandonWorker()
{
    if (worker_) {
        worker_->stop();
        worker_.reset();
    }
}

} // namespace velmora
