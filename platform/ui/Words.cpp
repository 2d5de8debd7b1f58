#include "platform/ui/Words.h"

#include <QCoreApplication>

namespace velmora {

QString Words(const Message& message)
{
    if (!message.text())
        return QString::fromStdString(message.plain());
    std::vector<std::string> values;
    values.reserve(message.values().size());
    for (const Message& value : message.values())
        values.push_back(Words(value).toStdString());
    const QString pattern =
        QCoreApplication::translate(message.text()->context, message.text()->english);
    return QString::fromStdString(FillPlaceholders(pattern.toStdString(), values));
}

QString Words(const MessageList& pieces)
{
    QString out;
    for (const Message& piece : pieces)
        out += Words(piece);
    return out;
}

} // namespace velmora
