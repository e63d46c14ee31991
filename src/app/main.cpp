#include "ui/mainwindow.h"
#include "ui/translations.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Zindara"));
    QApplication::setApplicationName(QStringLiteral("Zindara"));
    DeutscheUebersetzungLaden(app);

    TForm1 form;
    form.show();
    return app.exec();
}
