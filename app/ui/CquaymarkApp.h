#pragma once

#include <QApplication>

// The application object: refuses a second instance (bringing the first one
// forward instead), then shows the main window until Exit.
class CquaymarkApp : public QApplication
{
    Q_OBJECT
public:
    CquaymarkApp(int& argc, char** argv);

    // Runs the program; the process's exit status.
    int InitInstance();
};
