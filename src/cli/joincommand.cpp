#include "cli/commands.h"

#include "cutting/cutreporter.h"
#include "cutting/joinwriter.h"

#include <QFileInfo>

namespace
{

// Answers the question about an existing target as the options say and keeps the messages: the
// success line belongs on standard output, every other message on standard error.
class TCliJoinReporter : public TCutReporter
{
public:
    explicit TCliJoinReporter(TMeldungAntwort antwort) : FAntwort(antwort) {}

    TMeldungAntwort Meldung(const QString &text, TMeldungArt, TMeldungKnoepfe knoepfe) override
    {
        if (knoepfe == TMeldungKnoepfe::JaNeinAbbrechen)
            return FAntwort;
        Meldungen << text;
        return TMeldungAntwort::Ok;
    }

    QStringList Meldungen;

private:
    TMeldungAntwort FAntwort;
};

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

    TDateiliste liste;
    for (const QString &d : dateien)
        liste.append({d, QFileInfo(d).size(), 0});
    TCliJoinReporter report(anhaengen       ? TMeldungAntwort::Ja
                            : ueberschreiben ? TMeldungAntwort::Nein
                                             : TMeldungAntwort::Abbrechen);
    switch (DateienSpeichern(liste, ziel, report, true)) {
    case TSpeichernErgebnis::Abgebrochen:
        io.err << QStringLiteral("Die Datei \"%1\" existiert bereits! Mit --append wird angehängt, "
                                 "mit --overwrite überschrieben.")
                      .arg(ziel)
               << "\n";
        return 1;
    case TSpeichernErgebnis::ZielIstEingabe:
        return usageError(io, report.Meldungen.join(QLatin1Char(' ')));
    case TSpeichernErgebnis::Erstellt:
    case TSpeichernErgebnis::NichtErstellt:
        break;
    }
    const QString erfolg = ErfolgreichErstellt(ziel);
    for (const QString &m : std::as_const(report.Meldungen))
        (m == erfolg ? io.out : io.err) << m << "\n";
    return report.Meldungen == QStringList{erfolg} ? 0 : 1;
}
