#include "tests/app/LanguageChecks.h"

#include "platform/ui/ReportList.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QXmlStreamReader>

namespace velmora::test {

namespace {

// Lower-case words of three letters and more; addresses and '&' left out.
QSet<QString> WordsOf(QString text)
{
    static const QRegularExpression address("\\S+://\\S+"), word("[A-Za-z]{3,}");
    QSet<QString> words;
    for (const auto& match : word.globalMatch(text.remove(address).remove('&')))
        words << match.captured().toLower();
    return words;
}

// The placeholders %1 to %9 and accelerators of a text, sorted.
QStringList Marks(const QString& text)
{
    static const QRegularExpression mark("%[1-9]|&");
    QStringList found;
    for (const auto& match : mark.globalMatch(text))
        found << match.captured();
    found.sort();
    return found;
}

// Every text a window shows or gives a screen reader: its title, every
// control's name (a label's, button's or group's text), field contents, tabs,
// menus, list headings and cells.
QStringList ShownTexts(QWidget* window)
{
    QStringList texts{window->windowTitle()};
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget))
            texts << face->text(QAccessible::Name);
        if (auto* edit = qobject_cast<QLineEdit*>(widget))
            texts << edit->text();
        else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget))
            texts << plain->toPlainText();
        else if (auto* bar = qobject_cast<QTabBar*>(widget))
            for (int tab = 0; tab < bar->count(); ++tab)
                texts << bar->tabText(tab);
        else if (auto* menu = qobject_cast<QMenu*>(widget))
            for (const QAction* action : menu->actions())
                texts << action->text();
        else if (auto* view = qobject_cast<QAbstractItemView*>(widget); view && view->model()) {
            const QAbstractItemModel* model = view->model(); // headings, then every cell
            for (int column = 0; column < model->columnCount(); ++column) {
                texts << model->headerData(column, Qt::Horizontal).toString();
                for (int row = 0; row < model->rowCount(); ++row)
                    texts << model->index(row, column).data().toString();
            }
        }
    }
    texts.removeAll(QString());
    texts.removeDuplicates();
    return texts;
}

} // namespace

Catalogue ReadCatalogue(const QString& tsPath)
{
    Catalogue catalogue;
    // Common words, so that an English text the catalogue never saw shows too.
    QSet<QString> english{"the",  "and",  "for",  "with",  "from",  "not",     "this",
                          "that", "your", "you",  "are",   "was",   "has",     "have",
                          "can",  "will", "into", "build", "could", "version", "please"};
    QSet<QString> native;
    QFile file(tsPath);
    if (!file.open(QIODevice::ReadOnly))
        return catalogue;
    QXmlStreamReader xml(&file);
    QString source;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"source") {
            source = xml.readElementText();
            english += WordsOf(source);
        } else if (xml.name() == u"translation") {
            if (!xml.attributes().value("type").isEmpty())
                catalogue.faults << xml.attributes().value("type").toString() + ": " + source;
            const QString translation = xml.readElementText();
            if (Marks(translation) != Marks(source))
                catalogue.faults << "placeholders or accelerators differ: " + source;
            native += WordsOf(translation);
            if (!translation.isEmpty() && translation != source)
                catalogue.translatedSources << source;
        }
    }
    catalogue.englishOnlyWords = english - native;
    return catalogue;
}

QStringList EnglishTexts(QWidget* window, const Catalogue& catalogue)
{
    QStringList faults;
    for (const QString& text : ShownTexts(window)) {
        const QStringList words = (WordsOf(text) & catalogue.englishOnlyWords).values();
        if (catalogue.translatedSources.contains(text) || !words.isEmpty())
            faults << QString("English (%1): %2").arg(words.join(','), text);
    }
    return faults;
}

QStringList ClippedTexts(QWidget* window)
{
    QStringList faults;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(window))
            continue;
        QSize need;
        auto* label = qobject_cast<QLabel*>(widget);
        auto* button = qobject_cast<QAbstractButton*>(widget);
        if (label && !label->text().isEmpty())
            need = label->wordWrap() ? QSize(0, label->heightForWidth(label->width()))
                                     : label->minimumSizeHint();
        else if (qobject_cast<QPushButton*>(button)) // its text and a frame: a style adds more
            need = button->fontMetrics().size(Qt::TextShowMnemonic, button->text()) + QSize(4, 0);
        else if (button && !button->text().isEmpty())
            need = button->sizeHint();
        else if (auto* group = qobject_cast<QGroupBox*>(widget))
            need = group->minimumSizeHint();
        if (widget->width() < need.width() || widget->height() < need.height())
            faults << "text cut: " + QString(widget->metaObject()->className()) + " " +
                          widget->objectName();
        auto* header = qobject_cast<QHeaderView*>(widget);
        for (int section = 0;
             header && header->orientation() == Qt::Horizontal && section < header->count();
             ++section) {
            const QString text = header->model()->headerData(section, Qt::Horizontal).toString();
            if (header->sectionSize(section) < HeadingWidth(header, text))
                faults << "heading cut: " + text;
        }
    }
    return faults;
}

} // namespace velmora::test
