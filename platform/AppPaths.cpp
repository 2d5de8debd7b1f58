#include "platform/AppPaths.h"

namespace velmora {

AppPaths AppPathsFor(const std::string& programDir)
{
    return {programDir + "config.xml", programDir + "log/velmora.log",
            programDir + "ports_list.txt"};
}

} // namespace velmora
