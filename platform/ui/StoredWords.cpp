#include "platform/ui/StoredWords.h"

#include <QComboBox>
#include <QCoreApplication>

namespace velmora {

namespace {
constexpr char kContext[] = "StoredWords";
constexpr const char* kWords[] = {
    QT_TRANSLATE_NOOP("StoredWords", "TCP and UDP"),
    //: The protocol of a forwarding entry: TCP and UDP.
    QT_TRANSLATE_NOOP("StoredWords", "Both"),
    //: A trigger's status.
    QT_TRANSLATE_NOOP("StoredWords", "stop"),
    //: A trigger's status.
    QT_TRANSLATE_NOOP("StoredWords", "running"),
    //: Yes, in the Auto Start column.
    QT_TRANSLATE_NOOP("StoredWords", "Y"),
    //: No, in the Auto Start column.
    QT_TRANSLATE_NOOP("StoredWords", "N"),
};
} // namespace

QString StoredWords(std::string_view stored)
{
    for (const char* word : kWords)
        if (stored == word)
            return QCoreApplication::translate(kContext, word);
    return QString::fromUtf8(stored.data(), static_cast<qsizetype>(stored.size()));
}

void AddStoredItems(QComboBox* box, std::initializer_list<const char*> stored)
{
    for (const char* text : stored)
        box->addItem(StoredWords(text), QString::fromUtf8(text));
}

std::string CurrentStored(const QComboBox* box)
{
    return box->currentData().toString().toStdString();
}

} // namespace velmora
