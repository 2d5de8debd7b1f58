#pragma once

#include "platform/Message.h"
#include "platform/Version.h"

namespace velmora {

//: %1 is the version number, %2 the build date.
inline constexpr TextTemplate kVersionLineText{
    "velmora", QT_TRANSLATE_NOOP("velmora", "Version %1 Build on %2")};

// The About box's version line: "Version 2.6.0 Build on 14-1-2016" in English.
inline Message VersionLine()
{
    return Message(kVersionLineText, {kProductVersion, kBuildDate});
}

} // namespace velmora
