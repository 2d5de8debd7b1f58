#include "app/ui/Translations.h"

#include "platform/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace velmora {

namespace {

bool Install(QCoreApplication& app, const QLocale& locale, const QString& name,
             const QString& folder)
{
    auto* translator = new QTranslator(&app);
    if (translator->load(locale, name, "_", folder) && app.installTranslator(translator))
        return true;
    delete translator;
    return false;
}

} // namespace

std::string TranslationsDirFor(const std::string& programDir)
{
    const std::string beside = programDir + "translations/";
    if (QDir(QString::fromStdString(beside)).exists())
        return beside;
    const std::string shared = PackageDataDirFor(programDir);
    return shared.empty() ? beside : shared + "translations/";
}

bool InstallTranslations(QCoreApplication& app, const std::string& programDir,
                         const QLocale& locale)
{
    Install(app, locale, "qtbase", QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    return Install(app, locale, "velmora", QString::fromStdString(TranslationsDirFor(programDir)));
}

} // namespace velmora
