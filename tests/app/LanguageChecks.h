#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

class QWidget;

namespace velmora::test {

// A translation catalogue (.ts) as the checks need it: the words of its
// English texts that none of its translations uses, its translated texts, and
// its faults (a message unfinished or left over, a translation whose %1 to %9
// or accelerator '&' differ from its source's).
struct Catalogue
{
    QSet<QString> englishOnlyWords; // lower case, three letters and more
    QSet<QString> translatedSources;
    QStringList faults;
};
Catalogue ReadCatalogue(const QString& tsPath);

// Every text a window shows or gives a screen reader: titles, labels,
// buttons, group titles, tabs, menus, list headings and cells, box items,
// field contents.
QStringList ShownTexts(QWidget* window);

// The shown texts that are still English: one of the catalogue's English-only
// words, or a whole English text the catalogue translates.
QStringList EnglishTexts(QWidget* window, const Catalogue& catalogue);

// Controls whose text does not fit: a label, button or group box smaller than
// its text needs, a list heading narrower than its text, a tab cut short.
QStringList ClippedTexts(QWidget* window);

} // namespace velmora::test
