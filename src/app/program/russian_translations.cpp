#include "app/program/russian_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

using namespace Qt::StringLiterals;

namespace qm {

bool useRussianEverywhere(QCoreApplication &application)
{
    // Every widget made from now on takes the default locale: names of months
    // and days, the first day of the week. The program's own dates do not
    // depend on it; they are written with explicit formats.
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));

    auto *translator = new QTranslator(&application);
    if (!translator->load(u"qtbase_ru"_s, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

}  // namespace qm
