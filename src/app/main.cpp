#include "ui/mainwindow.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Zindara"));
    QApplication::setApplicationName(QStringLiteral("Zindara"));

    // German buttons and key names ("Ja", "Abbrechen", "Strg+O") come from Qt's own translations.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"),
                          QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    TForm1 form;
    form.show();
    return app.exec();
}
