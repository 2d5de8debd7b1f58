#pragma once

#include "platform/Message.h"

#include <QString>

namespace velmora {

// A message of the core in the user's language: its template translated in
// its family's context, then its values filled in (a value that is a message
// is worded the same way; plain words stay as they are).
QString Words(const Message& message);
QString Words(const MessageList& pieces);

} // namespace velmora
