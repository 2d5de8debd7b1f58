#include "platform/DeadlineScale.h"

#include <cstdlib>

namespace velmora {

namespace {

double ReadScale()
{
    const char* text = std::getenv("VELMORA_DEADLINE_SCALE");
    if (!text || !*text)
        return 1.0;
    char* end = nullptr;
    const double scale = std::strtod(text, &end);
    return *end == '\0' && scale >= 0.01 && scale <= 1.0 ? scale : 1.0;
}

} // namespace

double DeadlineScale()
{
    static const double scale = ReadScale();
    return scale;
}

} // namespace velmora
