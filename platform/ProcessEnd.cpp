#include "platform/ProcessEnd.h"

#include "platform/BackgroundThreads.h"

#include <cstdio>
#include <unistd.h>

namespace velmora {

void EndProcess(int status, std::chrono::milliseconds grace)
{
    BackgroundThreads::instance().joinFinishedWithin(grace);
    std::fflush(nullptr);
    ::_exit(status);
}

} // namespace velmora
