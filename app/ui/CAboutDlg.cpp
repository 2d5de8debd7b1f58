#include "app/ui/CAboutDlg.h"

#include "app/ui/AppTexts.h"
#include "platform/VersionLine.h"
#include "platform/ui/FormButtons.h"
#include "platform/ui/Words.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName("CAboutDlg");
    setWindowTitle(tr("About"));

    auto* banner = new QLabel(this);
    banner->setObjectName("banner");
    banner->setPixmap(QPixmap(":/velmora/banner.png"));
    banner->setAccessibleName(velmora::kProductName);

    auto* version = new QLabel(Words(VersionLine()), this);
    version->setObjectName("versionLabel");

    const QString home = velmora::texts::kHomePage;
    auto* link = new QLabel(QString("<a href=\"%1\">%1</a>").arg(home.toHtmlEscaped()), this);
    link->setObjectName("homeLink");
    link->setTextFormat(Qt::RichText);
    link->setTextInteractionFlags(Qt::TextBrowserInteraction);
    link->setOpenExternalLinks(true);
    link->setAccessibleName(home);

    auto* buttons = MakeOkButtonBox(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(banner);
    layout->addWidget(version);
    layout->addWidget(link);
    layout->addWidget(buttons);
}

} // namespace velmora
