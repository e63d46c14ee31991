#include "cli/commandlist.h"

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

int runJoin(const CliArguments &args, CliStreams io)
{
    const QString ziel = args.value(QStringLiteral("-o"));
    const bool anhaengen = args.has(QStringLiteral("--append"));
    const bool ueberschreiben = args.has(QStringLiteral("--overwrite"));
    const QStringList &dateien = args.operands();
    if (!args.has(QStringLiteral("-o")))
        return usageError(io, QStringLiteral("Die Zieldatei fehlt (-o ZIEL)."));
    if (ziel.isEmpty())
        return usageError(io, QStringLiteral("Nach -o fehlt der Name der Zieldatei."));
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

} // namespace

CliCommand joinCommand()
{
    return {
        QStringLiteral("join"),
        QStringLiteral("Dateien zu einer Datei zusammenfügen."),
        {{{QStringLiteral("-o ZIEL [--append | --overwrite] DATEI...")},
          QStringLiteral("Dateien zu einer Datei zusammenfügen")}},
        {
            {QStringLiteral("-o"), QStringLiteral("ZIEL"), QStringLiteral("die Zieldatei")},
            {QStringLiteral("--append"), {}, QStringLiteral("an eine bestehende Zieldatei anhängen")},
            {QStringLiteral("--overwrite"), {}, QStringLiteral("eine bestehende Zieldatei überschreiben")},
        },
        runJoin,
    };
}
