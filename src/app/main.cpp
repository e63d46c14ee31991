#include "platform/singleinstance.h"
#include "platform/sounds.h"
#include "platform/userfolders.h"
#include "platform/watchregistrysettings.h"
#include "ui/common/apptitle.h"
#include "ui/common/errorbox.h"
#include "ui/common/translations.h"
#include "ui/main/mainwindow.h"
#include "ui/tags/id3tagsform.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    PiepErsatzSetzen(&QApplication::beep);
    QApplication::setOrganizationName(QStringLiteral("Zindara"));
    QApplication::setApplicationName(QStringLiteral("Zindara"));

    // One copy per user: a second start hands its files to the first and ends.
    TProgrammSperre sperre{QLatin1String(ProgrammTitel)};
    const QStringList arguments = QApplication::arguments().mid(1);
    if (!ProgrammStartPruefen(sperre, QLatin1String(ProgrammTitel), arguments))
        return 0;

    ProzessTexteSetzen();
    DeutscheUebersetzungLaden(app);
    FehlerboxEinrichten();

    int code = 0;
    {
        TForm1 form(arguments);
        // Created once: its tags keep their contents from one use to the next.
        form.setId3TagsForm(new TId3TagsForm(&form));
        TWatchRegistrySettings watcher(&form, &form, QStringLiteral("Zindara"), false);
        form.show();
        code = QApplication::exec();
        watcher.Beenden();
    }
    ProzessTexteLoeschen();
    return code;
}
