#include "cli/commands.h"

#include "cutting/cutreporter.h"
#include "cutting/joinwriter.h"
#include "cutting/piecenames.h"
#include "cutting/segmentwriter.h"

#include <QFile>
#include <QFileInfo>

namespace
{

// The join's messages go to the error stream; any of them means something went wrong.
class TCliJoinReporter : public TCutReporter
{
public:
    explicit TCliJoinReporter(QTextStream &err) : FErr(err) {}

    TMeldungAntwort Meldung(const QString &text, TMeldungArt art, TMeldungKnoepfe knoepfe) override
    {
        FErr << text << "\n";
        FErr.flush();
        Fehler = true;
        return TCutReporter::Meldung(text, art, knoepfe);
    }

    bool Fehler = false;

private:
    QTextStream &FErr;
};

bool gleicheDatei(const QString &a, const QString &b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

} // namespace

int runJoin(const QStringList &args, CliStreams io)
{
    QString ziel;
    bool zielGesetzt = false;
    bool anhaengen = false;
    bool ueberschreiben = false;
    QStringList dateien;
    bool nurDateien = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (nurDateien || a == QLatin1String("-") || !a.startsWith(QLatin1Char('-'))) {
            dateien << a;
        } else if (a == QLatin1String("--")) {
            nurDateien = true;
        } else if (a == QLatin1String("-o")) {
            if (zielGesetzt)
                return usageError(io, QStringLiteral("Die Zieldatei wurde mehrfach angegeben."));
            if (i + 1 >= args.size() || args[i + 1].isEmpty())
                return usageError(io, QStringLiteral("Nach -o fehlt der Name der Zieldatei."));
            ziel = args[++i];
            zielGesetzt = true;
        } else if (a == QLatin1String("--append")) {
            anhaengen = true;
        } else if (a == QLatin1String("--overwrite")) {
            ueberschreiben = true;
        } else {
            return usageError(io, QStringLiteral("Unbekannte Option \"%1\".").arg(a));
        }
    }
    if (!zielGesetzt)
        return usageError(io, QStringLiteral("Die Zieldatei fehlt (-o ZIEL)."));
    if (anhaengen && ueberschreiben)
        return usageError(io, QStringLiteral("--append und --overwrite schließen einander aus."));
    if (dateien.isEmpty())
        return usageError(io, QStringLiteral("Es wurde keine Datei zum Zusammenfügen angegeben."));

    if (QFileInfo::exists(ziel) && !anhaengen) {
        if (!ueberschreiben) {
            io.err << QStringLiteral("Die Datei \"%1\" existiert bereits! Mit --append wird angehängt, "
                                     "mit --overwrite überschrieben.")
                          .arg(ziel)
                   << "\n";
            return 1;
        }
        for (const QString &d : dateien) {
            if (gleicheDatei(d, ziel))
                return usageError(io, QStringLiteral("Die Zieldatei \"%1\" ist zugleich eine der Dateien, "
                                                     "die zusammengefügt werden sollen.")
                                          .arg(ziel));
        }
        DateiattributeLoeschen(ziel);
        if (!QFile::remove(ziel)) {
            io.err << QStringLiteral("Die Datei \"%1\" konnte nicht gelöscht werden!").arg(ziel) << "\n";
            return 1;
        }
    }

    TDateiliste liste;
    for (const QString &d : dateien)
        liste.append({d, QFileInfo(d).size(), 0});

    TCliJoinReporter report(io.err);
    if (!Mp3ErstellenOk(liste, ziel, report)) {
        io.err << NichtErstellt(ziel) << "\n";
        return 1;
    }
    io.out << QStringLiteral("Die Datei \"%1\" wurde erfolgreich erstellt!").arg(ziel) << "\n";
    return report.Fehler ? 1 : 0;
}
