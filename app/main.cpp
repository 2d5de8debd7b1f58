#include "app/ui/CquaymarkApp.h"
#include "platform/RuntimeFolder.h"

int main(int argc, char** argv)
{
    velmora::UsePrivateRuntimeFolder(); // before Qt looks for it
    CquaymarkApp app(argc, argv);
    return app.InitInstance();
}
