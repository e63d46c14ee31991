#include "cutting/segmentwriter.h"

#include "support/bytecopy.h"
#include "cutting/cutreporter.h"
#include "cutting/markrows.h"
#include "cutting/piecenames.h"
#include "cutting/tagextents.h"

#include <QFile>

static constexpr qint64 MindestDauerMs = 110;

bool Mp3ErstellenOk(const MarkRows &rows, const QString &AFilename, bool TmpS, TCutReporter &report,
                    qint64 *geschrieben)
{
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
    DateiattributeLoeschen(AFilename);
    QFile aus(AFilename);
    bool ausOffen = false;
    if (!TmpS && aus.exists()) {
        // Appending: the new audio overwrites the old ID3v1 tag, the file is never shortened.
        ausOffen = aus.open(QIODevice::ReadWrite | QIODevice::Unbuffered);
        if (ausOffen)
            ausOffen = aus.seek(aus.size() - TagUmfangLesen(aus).ID3v1);
    } else {
        ausOffen = aus.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
    }
    if (!ausOffen) {
        report.FehlerTon();
        return false;
    }

    TByteCopy kopierer;
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
    if (geschrieben)
        *geschrieben = summe;
    if (!ok)
        report.FehlerTon();
    return ok;
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
    if (const auto ende = FrageEnde(ZielErfragen(datei, {rows.OriFilename}, report)))
        return *ende;
    if (Mp3ErstellenOk(rows, datei, false, report))
        return TSpeichernErgebnis::Erstellt;
    report.Meldung(NichtErstellt(datei), TMeldungArt::Information);
    return TSpeichernErgebnis::NichtErstellt;
}
