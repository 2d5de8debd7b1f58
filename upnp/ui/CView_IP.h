#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velmora {
class DialogWorker;
struct ExternalAddressOutcome;
} // namespace velmora
class QComboBox;
class QLineEdit;
class QPushButton;

// "View IP": the computer's own IPv4 addresses and global IPv6 addresses
// and the router's external address, found by the program's own UPnP client
// on a worker thread while the dialog shows. OK and Cancel close it at once;
// a late answer is dropped.
class CView_IP final : public QDialog
{
    Q_OBJECT
public:
    // The global IPv6 address through which pinholes of the router in use
    // would reach this computer, or empty when they cannot be opened; asked
    // on the lookup's worker (it may ask the gateway).
    using PinholeAddressFinder = std::function<std::string()>;

    explicit CView_IP(QWidget* parent = nullptr, PinholeAddressFinder pinholes = {});
    ~CView_IP() override;

    // The local address box is filled from `addresses`, IPv4 ones first (tests give their own).
    void setLocalAddresses(const std::vector<std::string>& addresses);
    bool lookupFinished() const { return finished_; }

    void done(int result) override;

private:
    void startLookup();
    void showOutcome(const velmora::ExternalAddressOutcome& outcome,
                     const std::string& pinholeAddress);

    QComboBox* localIp_ = nullptr;
    QLineEdit* externalIp_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    PinholeAddressFinder pinholes_;
    std::unique_ptr<velmora::DialogWorker> lookup_;
    bool finished_ = false;
};
