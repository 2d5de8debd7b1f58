#include "app/ui/AppIcons.h"

#include <initializer_list>

namespace velmora {
namespace {

QIcon IconFromSizes(const char* folder, std::initializer_list<int> sizes)
{
    QIcon icon;
    for (int size : sizes)
        icon.addFile(QString(":/velmora/%1/%2.png").arg(folder).arg(size), QSize(size, size));
    return icon;
}

} // namespace

QIcon AppIcon()
{
    // Window frames, task bars and switchers draw it at most this large; the
    // larger sizes come from the icon theme the package installs. Every size
    // given here is decoded and kept for as long as the program runs.
    return IconFromSizes("app", {16, 22, 24, 32, 48, 64});
}

QIcon TrayIcon()
{
    return IconFromSizes("tray", {16, 22, 32, 44, 64});
}

} // namespace velmora
