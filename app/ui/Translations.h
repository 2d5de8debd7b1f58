#pragma once

#include <QLocale>
#include <string>

class QCoreApplication;

namespace velmora {

// Where the program's compiled translations (velmora_<language>.qm) are
// looked for: beside a portable executable (<program folder>/translations/),
// then in an installed prefix (<prefix>/share/velmora/translations/).
std::string TranslationsDirFor(const std::string& programDir);

// Puts the language of `locale` in place before any window is made: Qt's own
// texts (standard buttons) from Qt's translations, the program's from its
// catalogue. A language without a catalogue (English among them) keeps the
// English texts. True when the program's catalogue was loaded.
bool InstallTranslations(QCoreApplication& app, const std::string& programDir,
                         const QLocale& locale = QLocale::system());

} // namespace velmora
