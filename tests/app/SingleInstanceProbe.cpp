// A stand-alone instance of the single-instance guard: prints "first" when it
// owns the name and then waits to be asked to come forward ("activated"), or
// "second" when another instance owns it.
#include "app/ui/SingleInstance.h"

#include <QCoreApplication>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    velmora::SingleInstance instance(QString::fromLocal8Bit(argv[1]));
    if (!instance.claim()) {
        std::puts("second");
        return 0;
    }
    std::puts("first");
    std::fflush(stdout);
    QObject::connect(&instance, &velmora::SingleInstance::activationRequested, &app, [] {
        std::puts("activated");
        QCoreApplication::exit(0);
    });
    QTimer::singleShot(20000, &app, [] { QCoreApplication::exit(3); });
    return app.exec();
}
