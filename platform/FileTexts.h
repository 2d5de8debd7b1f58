#pragma once

#include "platform/Message.h"

// Why a file of the program could not be written, in English; the window
// translates them in the context "Files". The system's own words for an error
// (strerror) come as a value.
namespace velmora::file_texts {

//: %1 is a folder, %2 the system's words for the error.
inline constexpr TextTemplate kCannotCreateIn{
    "Files", QT_TRANSLATE_NOOP("Files", "cannot create a new file in %1: %2")};
//: %1 is a file, %2 the system's words for the error.
inline constexpr TextTemplate kCannotWrite{"Files",
                                           QT_TRANSLATE_NOOP("Files", "cannot write %1: %2")};
inline constexpr TextTemplate kCannotFlush{"Files",
                                           QT_TRANSLATE_NOOP("Files", "cannot flush %1: %2")};
inline constexpr TextTemplate kCannotClose{"Files",
                                           QT_TRANSLATE_NOOP("Files", "cannot close %1: %2")};
inline constexpr TextTemplate kCannotReplace{"Files",
                                             QT_TRANSLATE_NOOP("Files", "cannot replace %1: %2")};
inline constexpr TextTemplate kNoHome{
    "Files", QT_TRANSLATE_NOOP("Files", "neither XDG_CONFIG_HOME nor HOME names a folder")};
inline constexpr TextTemplate kOwnPathUnknown{
    "Files", QT_TRANSLATE_NOOP("Files", "the program's own path is unknown")};
inline constexpr TextTemplate kPathNotCarried{
    "Files", QT_TRANSLATE_NOOP("Files", "the program's path holds a character that a desktop "
                                        "entry cannot carry")};

} // namespace velmora::file_texts
