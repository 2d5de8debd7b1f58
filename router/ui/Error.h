#pragma once

#include <QDialog>

// The router-not-found dialog: how to enable UPnP or NAT-PMP on the router,
// and an OK button that starts the next scan. OK, Escape and the close box
// all end it the same way.
class Error : public QDialog
{
    Q_OBJECT
public:
    explicit Error(QWidget* parent = nullptr);

    static const char* const kTexts[4];
};
