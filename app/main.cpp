#include "app/ui/CquaymarkApp.h"

int main(int argc, char** argv)
{
    CquaymarkApp app(argc, argv);
    return app.InitInstance();
}
