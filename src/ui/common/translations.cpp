#include "ui/common/translations.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool DeutscheUebersetzungLaden(QCoreApplication &app)
{
    auto *translator = new QTranslator(&app);
    const QLocale german(QLocale::German, QLocale::Germany);
    if (!translator->load(german, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QLocale::setDefault(german);
    return QCoreApplication::installTranslator(translator);
}
