#include "cutting/filesplit.h"

#include "audio/frameindex.h"
#include "cutting/framesplit.h"
#include "cutting/marklist.h"
#include "cutting/marksplit.h"
#include "cutting/mp3seconds.h"
#include "cutting/sizesplit.h"
#include "cutting/tagextents.h"

#include <QFile>
#include <QFileInfo>

namespace {

// Passes everything on; the split's information ("too small") becomes an error, so a caller
// without windows can tell it from the memo.
class TAlsFehler : public TCutReporter {
public:
    explicit TAlsFehler(TCutReporter &ziel) : FZiel(ziel) {}

    void MemoZuruecksetzen() override { FZiel.MemoZuruecksetzen(); }
    void MemoText(const QString &line) override { FZiel.MemoText(line); }
    void NachrichtenVerarbeiten() override { FZiel.NachrichtenVerarbeiten(); }
    void FehlerTon() override { FZiel.FehlerTon(); }
    TMeldungAntwort Meldung(const QString &text, TMeldungArt art, TMeldungKnoepfe knoepfe) override
    {
        return FZiel.Meldung(text, art == TMeldungArt::Information ? TMeldungArt::Fehler : art, knoepfe);
    }

private:
    TCutReporter &FZiel;
};

// Keeps the one message a mark check gives, so a refusal can be told as an error.
class TLetzteMeldung : public TCutReporter {
public:
    TMeldungAntwort Meldung(const QString &text, TMeldungArt art, TMeldungKnoepfe knoepfe) override
    {
        Text = text;
        return TCutReporter::Meldung(text, art, knoepfe);
    }
    QString Text;
};

TTeilErgebnis abbrechen(TCutReporter &reporter, const QString &text)
{
    reporter.Meldung(text, TMeldungArt::Fehler);
    return {{}, true};
}

} // namespace

TTeilErgebnis DateiTeilen(const QString &datei, const TTeilWunsch &wunsch, const TLaengeMessen &laengeMs,
                          TCutReporter &reporter)
{
    const QString oeffnenFehler = QStringLiteral("Fehler beim Öffnen der Datei!");
    const QFileInfo info(datei);
    if (!info.isFile())
        return abbrechen(reporter, QStringLiteral("Die Datei \"%1\" gibt es nicht.").arg(datei));
    const QString oriFilename = info.absoluteFilePath();

    // The pieces take the bytes a working copy would hold, straight from the file.
    qint64 anfang = 0;
    qint64 S = 0;
    {
        QFile ein(oriFilename);
        if (!ein.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            return abbrechen(reporter, oeffnenFehler);
        const TTagUmfang tags = TagUmfangLesen(ein);
        anfang = tags.ID3v2;
        S = qMax<qint64>(0, ein.size() - tags.ID3v2 - tags.ID3v1);
    }
    const TTeilAuftrag auftrag{oriFilename, oriFilename, S, anfang};

    TFrameIndex index;
    if (!wunsch.ByteSchnitt) {
        QFile ein(oriFilename);
        if (!ein.open(QIODevice::ReadOnly | QIODevice::Unbuffered) || !index.Lesen(ein, anfang, S) || !index.Valid())
            index = TFrameIndex();
    }
    const bool frameSchnitt = index.Valid();

    if (wunsch.Modus == ModusMarken) {
        const qint64 laenge = frameSchnitt ? index.LaengeMs() : laengeMs(oriFilename, anfang, S);
        if (laenge < 0)
            return abbrechen(reporter, oeffnenFehler);
        if (laenge < 1000)
            return abbrechen(reporter, QStringLiteral("Datei hat weniger als 1 Sekunde dauer!"));
        QStringList marken;
        for (const qint64 ms : wunsch.MarkenMs) {
            TLetzteMeldung pruefung;
            if (!MarkeSetzen(marken, ms, laenge, pruefung))
                return abbrechen(reporter, pruefung.Text);
            reporter.Meldung(pruefung.Text, TMeldungArt::Information);
        }
        if (frameSchnitt)
            return MarkenFrameTeilenStarten(auftrag, index, marken, reporter);
        return MarkenTeilenStarten(auftrag, laenge, marken, reporter);
    }
    TAlsFehler alsFehler(reporter);
    if (frameSchnitt)
        return FrameTeilenStarten(auftrag, index, wunsch.Modus, wunsch.Anzahl, wunsch.VorspannSekunden, alsFehler);

    // Kilobytes without overlap need no duration, so the analysis is skipped there.
    const bool ohneDauer = wunsch.Modus == ModusBytes && wunsch.VorspannSekunden == 0;
    const qint64 sekunden = ohneDauer ? 0 : Mp3SekundenMpi(oriFilename, anfang, S, [&] {
        const qint64 ms = laengeMs(oriFilename, anfang, S);
        return ms < 0 ? qint64(0) : ms / 1000;
    });
    return ModusTeilenStarten(auftrag, wunsch.Modus, wunsch.Anzahl, wunsch.VorspannSekunden, sekunden, alsFehler);
}
