#pragma once

#include <QString>
#include <initializer_list>
#include <string>
#include <string_view>

class QComboBox;

namespace velmora {

// The words config.xml keeps in English (a protocol's "TCP and UDP" or
// "Both", an entry's "Y" or "N", a trigger's "stop" or "running") as the
// window shows them: in the user's language. Any other text is shown as it is.
QString StoredWords(std::string_view stored);

// Fills a box with stored words: each item shows its words and carries the
// stored text as its data, which is what the dialog keeps.
void AddStoredItems(QComboBox* box, std::initializer_list<const char*> stored);

// The stored text of the box's current item.
std::string CurrentStored(const QComboBox* box);

} // namespace velmora
