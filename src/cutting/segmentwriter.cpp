#include "cutting/segmentwriter.h"

#include "cutting/cutreporter.h"
#include "cutting/markrows.h"
#include "cutting/piecenames.h"
#include "cutting/targetfile.h"
#include "support/bytecopy.h"

#include <QFile>

static constexpr qint64 MindestDauerMs = 110;

namespace {

// The playback file is the editor's own: it is emptied and written in place.
bool spielDateiOeffnen(QFile &aus)
{
    DateiattributeLoeschen(aus.fileName());
    return aus.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
}

// `unveraendert` tells after a failure whether an existing target is as it was.
bool schreiben(const MarkRows &rows, const QString &AFilename, bool TmpS, TZielArt art, TCutReporter &report,
               qint64 *geschrieben, bool &unveraendert)
{
    unveraendert = true;
    if (geschrieben)
        *geschrieben = 0;
    const QList<TByteBereich> bereiche = rows.Bereiche();
    if (bereiche.isEmpty())
        return false;
    if (TmpS && rows.TmpMp3Dauer < MindestDauerMs) {
        report.Meldung(QStringLiteral("Die Datei muss mindestens 0,%1 Sekunden lang sein!").arg(MindestDauerMs),
                       TMeldungArt::Information);
        return false;
    }

    QFile ein(rows.OriFilename);
    const bool einOffen = ein.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    report.NachrichtenVerarbeiten();
    if (!einOffen) {
        report.FehlerTon();
        return false;
    }

    if (GleicheDatei(AFilename, rows.OriFilename)) {
        report.FehlerTon();
        return false;
    }
    TByteCopy kopierer;
    QFile spielDatei(AFilename);
    // A saved file is built beside the target and takes its place when complete; an append
    // starts where the target's ID3v1 tag started and never shortens it.
    TZielDatei ziel(AFilename, art);
    if (TmpS ? !spielDateiOeffnen(spielDatei) : ziel.Oeffnen(kopierer) != TZielDatei::TStand::Offen) {
        report.FehlerTon();
        return false;
    }
    QFile &aus = TmpS ? spielDatei : ziel.Datei();

    qint64 summe = 0;
    bool ok = true;
    for (int k = 0; k < bereiche.size() && ok; ++k) {
        const TByteBereich &b = bereiche[k];
        if (k > 0)
            report.NachrichtenVerarbeiten();
        if (b.Anzahl <= 0)
            continue;
        if (!ein.seek(b.Start)) {
            ok = false;
            break;
        }
        const TKopierErgebnis e = kopierer.Kopieren(ein, aus, b.Anzahl);
        summe += e.geschrieben;
        // A working copy shorter than its ranges ends the copy like a read error.
        ok = e.vollstaendig(b.Anzahl);
    }
    if (!TmpS) {
        // Less audio than the old tag leaves the tag's last bytes behind it.
        ok = ok && ziel.AltesEndeSchreiben(summe) && ziel.Uebernehmen();
        if (!ok) {
            ziel.Verwerfen(false);
            unveraendert = ziel.Unveraendert();
        }
    }
    if (geschrieben)
        *geschrieben = summe;
    if (!ok)
        report.FehlerTon();
    return ok;
}

} // namespace

bool Mp3ErstellenOk(const MarkRows &rows, const QString &AFilename, bool TmpS, TCutReporter &report,
                    qint64 *geschrieben)
{
    bool unveraendert = true;
    return schreiben(rows, AFilename, TmpS, TZielArt::Anhaengen, report, geschrieben, unveraendert);
}

bool SegmenteWaehlen(MarkRows &rows, TCutReporter &report)
{
    rows.MarkenBytesErmitteln(0);
    if (!rows.TmpMarken.isEmpty())
        return true;
    report.Meldung(QStringLiteral("Es sind keine Einträge angehakt!"), TMeldungArt::Information);
    return false;
}

TSpeichernErgebnis SegmenteSpeichern(const MarkRows &rows, const QString &datei, TCutReporter &report)
{
    const TZielWahl wahl = ZielErfragen(datei, {rows.OriFilename}, report);
    if (const auto ende = FrageEnde(wahl))
        return *ende;
    bool unveraendert = true;
    if (schreiben(rows, datei, false, ZielArt(wahl), report, nullptr, unveraendert))
        return TSpeichernErgebnis::Erstellt;
    report.Meldung(NichtErstellt(datei, wahl != TZielWahl::Neu && unveraendert), TMeldungArt::Information);
    return TSpeichernErgebnis::NichtErstellt;
}
