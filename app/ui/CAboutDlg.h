#pragma once

#include <QDialog>

namespace velmora {

// The "About" box: banner, version line, a link to the home page, OK.
class CAboutDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

} // namespace velmora
