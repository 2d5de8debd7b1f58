#include "tests/app/LanguageChecks.h"

#include "platform/ui/ReportList.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
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
#include <QTextDocumentFragment>
#include <QXmlStreamReader>

namespace velmora::test {

namespace {

QSet<QString> WordsOf(QString text)
{
    static const QRegularExpression address("\\S+://\\S+");
    static const QRegularExpression word("[A-Za-z]{3,}");
    text.remove(address).remove('&');
    QSet<QString> words;
    for (const auto& match : word.globalMatch(text))
        words << match.captured().toLower();
    return words;
}

QString Described(const QWidget* widget, const QString& what)
{
    return QString("%1 \"%2\": %3")
        .arg(widget->metaObject()->className(), widget->objectName(), what);
}

void AddMenu(const QMenu* menu, QStringList& texts)
{
    for (const QAction* action : menu->actions()) {
        texts << action->text();
        if (action->menu())
            AddMenu(action->menu(), texts);
    }
}

void AddModel(const QAbstractItemModel* model, QStringList& texts)
{
    for (int column = 0; column < model->columnCount(); ++column)
        texts << model->headerData(column, Qt::Horizontal).toString();
    for (int row = 0; row < model->rowCount(); ++row)
        for (int column = 0; column < model->columnCount(); ++column)
            texts << model->index(row, column).data().toString();
}

// What a push button's text needs: its own width and a frame (styles make
// buttons wider, with room to spare, but a fixed width may be narrower).
QSize TextRoom(const QAbstractButton* button)
{
    return button->fontMetrics().size(Qt::TextShowMnemonic, button->text()) + QSize(4, 0);
}

} // namespace

Catalogue ReadCatalogue(const QString& tsPath)
{
    Catalogue catalogue;
    // Common words, so that an English text the catalogue never saw shows too.
    QSet<QString> english{"the",   "and",   "for",   "with",  "from",    "not",    "this",
                          "that",  "your",  "you",   "are",   "was",     "has",    "have",
                          "can",   "will",  "into",  "build", "version", "please", "failed",
                          "could", "there", "which", "what"};
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
            static const QRegularExpression placeholder("%[1-9]");
            auto placeholders = [](const QString& text) {
                QStringList found;
                for (const auto& match : placeholder.globalMatch(text))
                    found << match.captured();
                found.sort();
                return found;
            };
            if (!xml.attributes().value("type").isEmpty())
                catalogue.faults << xml.attributes().value("type").toString() + ": " + source;
            const QString translation = xml.readElementText();
            if (placeholders(translation) != placeholders(source) ||
                translation.count('&') != source.count('&'))
                catalogue.faults << "placeholders or accelerator differ: " + source;
            native += WordsOf(translation);
            if (!translation.isEmpty() && translation != source)
                catalogue.translatedSources << source;
        }
    }
    catalogue.englishOnlyWords = english - native;
    return catalogue;
}

QStringList ShownTexts(QWidget* window)
{
    QStringList texts{window->windowTitle()};
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget))
            texts << face->text(QAccessible::Name) << face->text(QAccessible::Description);
        texts << widget->toolTip();
        if (auto* label = qobject_cast<QLabel*>(widget))
            texts << QTextDocumentFragment::fromHtml(label->text()).toPlainText();
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
            texts << button->text();
        else if (auto* group = qobject_cast<QGroupBox*>(widget))
            texts << group->title();
        else if (auto* edit = qobject_cast<QLineEdit*>(widget))
            texts << edit->text() << edit->placeholderText();
        else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget))
            texts << plain->toPlainText();
        else if (auto* view = qobject_cast<QAbstractItemView*>(widget); view && view->model())
            AddModel(view->model(), texts);
        else if (auto* bar = qobject_cast<QTabBar*>(widget))
            for (int tab = 0; tab < bar->count(); ++tab)
                texts << bar->tabText(tab);
        else if (auto* menu = qobject_cast<QMenu*>(widget))
            AddMenu(menu, texts);
    }
    texts.removeAll(QString());
    texts.removeDuplicates();
    return texts;
}

QStringList EnglishTexts(QWidget* window, const Catalogue& catalogue)
{
    QStringList faults;
    for (const QString& text : ShownTexts(window)) {
        QStringList words;
        for (const QString& word : WordsOf(text))
            if (catalogue.englishOnlyWords.contains(word))
                words << word;
        if (catalogue.translatedSources.contains(text) || !words.isEmpty())
            faults << QString("English (%1): %2").arg(words.join(','), text);
    }
    return faults;
}

QStringList ClippedTexts(QWidget* window)
{
    QStringList faults;
    if (window->layout() && (window->width() < window->minimumSizeHint().width() ||
                             window->height() < window->minimumSizeHint().height()))
        faults << Described(window, "smaller than its contents need");
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(window))
            continue;
        QSize need;
        auto* label = qobject_cast<QLabel*>(widget);
        auto* button = qobject_cast<QAbstractButton*>(widget);
        if (label && !label->text().isEmpty())
            need = label->wordWrap() ? QSize(0, label->heightForWidth(label->width()))
                                     : label->minimumSizeHint();
        else if (button && !button->text().isEmpty())
            need = qobject_cast<QPushButton*>(button) ? TextRoom(button) : button->sizeHint();
        else if (auto* group = qobject_cast<QGroupBox*>(widget))
            need = group->minimumSizeHint();
        if (widget->width() < need.width() || widget->height() < need.height())
            faults << Described(widget, "text cut");
        if (auto* header = qobject_cast<QHeaderView*>(widget);
            header && header->orientation() == Qt::Horizontal && header->model()) {
            for (int section = 0; section < header->count(); ++section) {
                const QString text =
                    header->model()->headerData(section, Qt::Horizontal).toString();
                if (header->sectionSize(section) < HeadingWidth(header, text))
                    faults << Described(widget, QString("heading %1 cut").arg(text));
            }
        }
        if (auto* bar = qobject_cast<QTabBar*>(widget))
            for (int tab = 0; tab < bar->count(); ++tab)
                if (bar->tabRect(tab).width() <
                    bar->fontMetrics().size(Qt::TextShowMnemonic, bar->tabText(tab)).width())
                    faults << Described(widget, QString("tab %1 cut").arg(tab));
    }
    return faults;
}

} // namespace velmora::test
