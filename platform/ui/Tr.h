#pragma once

#include <QCoreApplication>
#include <QString>

namespace velmora {

// The translation context of texts kept as constants, which are marked where
// they are defined with QT_TRANSLATE_NOOP("velmora", ...) and translated
// where they are shown.
inline constexpr char kTrContext[] = "velmora";

inline QString Tr(const char* text)
{
    return QCoreApplication::translate(kTrContext, text);
}

} // namespace velmora
