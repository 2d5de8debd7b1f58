#pragma once

#include <QSet>
#include <QStringList>

class QWidget;

namespace velmora::test {

// A translation (.ts): the words of its English texts none of its translations
// uses, the texts it translates, its faults (unfinished, %1 or '&' not kept).
struct Catalogue
{
    QSet<QString> englishOnlyWords; // lower case, three letters and more
    QSet<QString> translatedSources;
    QStringList faults;
};
Catalogue ReadCatalogue(const QString& tsPath);

// The texts a window shows (or gives a screen reader) that are still English.
QStringList EnglishTexts(QWidget* window, const Catalogue& catalogue);

// Labels, buttons, group boxes and list headings whose text is cut.
QStringList ClippedTexts(QWidget* window);

} // namespace velmora::test
