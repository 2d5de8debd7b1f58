#include "catalogue/ui/CSearch_Ports.h"

#include "catalogue/ui/CatalogueDialogParts.h"
#include "catalogue/ui/CatalogueTexts.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace texts = velmora::catalogue_texts;
namespace parts = velmora::catalogue_ui;

CSearch_Ports::CSearch_Ports(QWidget* parent) : QDialog(parent)
{
    setObjectName("CSearch_Ports");
    setWindowTitle(texts::kSearchTitle);
    nameEdit_ = parts::MakeEdit("nameEdit", 0, this);
    auto* grid = new QGridLayout(this);
    grid->addWidget(parts::BuddyLabel(texts::kSearchNameLabel, nameEdit_, this), 0, 0);
    grid->addWidget(nameEdit_, 0, 1);
    grid->addWidget(parts::OkCancel(this), 1, 0, 1, 2);
    setMinimumWidth(320);
}

void CSearch_Ports::accept()
{
    const QString typed = nameEdit_->text();
    if (typed.isEmpty())
        return parts::ShowError(this, texts::kInvalidName);
    text_ = typed;
    QDialog::accept();
}
