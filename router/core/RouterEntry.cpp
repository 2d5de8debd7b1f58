#include "router/core/RouterEntry.h"

RouterEntry::~RouterEntry()
{
    if (!is_apple)
        FreeUPNPUrls(&urls);
    if (natpmp_open)
        closenatpmp(&natpmp);
}
