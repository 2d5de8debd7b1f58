#pragma once

// Shared pieces of the forwarding lab tests: a Qt application for widget
// tests inside a GoogleTest binary, found routers built as the scan builds
// them, and running "Add into Router" the way a user does.

#include "forwarding/ui/CFormView_Client.h"
#include "platform/ui/ReportList.h"
#include "router/core/RouterEntry.h"
#include "tests/forwarding/FakeForwardingHost.h"
#include "tests/lab/LabEnvironment.h"
#include "tests/support/ModalCatcher.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <arpa/inet.h>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>

namespace velmora::test {

// The application of a lab test binary: made on first use, after the lab
// main has moved the process into the LAN namespace (it must start no thread
// before), and deleted when the tests are over.
class LabAppEnvironment final : public ::testing::Environment
{
public:
    static QApplication& app()
    {
        if (!app_) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
            static int argc = 1;
            static char name[] = "forwarding_lab";
            static char* argv[] = {name, nullptr};
            app_ = new QApplication(argc, argv);
        }
        return *app_;
    }
    void TearDown() override
    {
        delete app_;
        app_ = nullptr;
    }

private:
    static inline QApplication* app_ = nullptr;
};
inline ::testing::Environment* const kLabAppEnvironment =
    ::testing::AddGlobalTestEnvironment(new LabAppEnvironment);

inline QApplication& LabApp()
{
    return LabAppEnvironment::app();
}

// A UPnP router as the scan finds it: miniupnpc's URLs and description data.
inline RouterEntryPtr LabUpnpRouter(const std::string& descriptionUrl)
{
    auto router = std::make_shared<RouterEntry>();
    char lan[64] = {};
    if (UPNP_GetIGDFromUrl(descriptionUrl.c_str(), &router->urls, &router->data, lan, sizeof lan) ==
        0)
        return nullptr;
    router->description_url = descriptionUrl;
    router->friendly_name = "Velmora Lab Router";
    router->lan_address = lan;
    return router;
}

// A UPnP router known only by a control URL and service type.
inline RouterEntryPtr RouterAt(const std::string& controlUrl, const char* serviceType)
{
    auto router = std::make_shared<RouterEntry>();
    router->urls.controlURL = strdup(controlUrl.c_str());
    std::strncpy(router->data.first.servicetype, serviceType,
                 sizeof router->data.first.servicetype - 1);
    return router;
}

// A NAT-PMP gateway as the scan leaves it: an open handle on the gateway.
inline RouterEntryPtr LabAppleRouter(const std::string& gateway)
{
    auto router = std::make_shared<RouterEntry>();
    router->is_apple = true;
    if (initnatpmp(&router->natpmp, 1, inet_addr(gateway.c_str())) != 0)
        return nullptr;
    router->natpmp_open = true;
    return router;
}

inline void SelectRows(ReportList* list, std::initializer_list<int> rows)
{
    list->clearSelection();
    for (int row : rows)
        list->selectionModel()->select(list->model()->index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

// The tab over `entries` with `router` in the router box.
struct LabTab
{
    LabTab(std::vector<ForwardingEntry> list, RouterEntryPtr router)
        : entries(std::move(list)), host(entries)
    {
        LabApp();
        host.found = router != nullptr;
        host.router = std::move(router);
        view = std::make_unique<CFormView_Client>(entries, host);
        view->reloadRows();
        view->onRoutersFound();
    }

    // Presses "Add into Router" on the rows and waits for the run to end;
    // the texts of the message boxes it showed (a long run's progress dialog
    // is left alone).
    QStringList addIntoRouter(std::initializer_list<int> rows)
    {
        SelectRows(view->list(), rows);
        QStringList messages;
        ModalCatcher catcher;
        catcher.answer = [&](QWidget* modal) {
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                messages << box->text();
                box->accept();
            }
        };
        auto* button = view->findChild<QPushButton*>("addIntoRouterButton");
        if (!button->isEnabled())
            return {"(Add into Router is disabled)"};
        QTest::mouseClick(button, Qt::LeftButton);
        if (!WaitFor([&] { return !view->installing(); }, 300000))
            messages << "(still installing)";
        return messages;
    }

    std::vector<ForwardingEntry> entries;
    FakeForwardingHost host;
    std::unique_ptr<CFormView_Client> view;
};

} // namespace velmora::test
