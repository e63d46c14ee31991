#include "cutting/joinwriter.h"

#include "audio/frameindex.h"
#include "audio/headerframe.h"

#include "cutting/cutreporter.h"
#include "cutting/tagextents.h"
#include "cutting/targetfile.h"
#include "support/bytecopy.h"
#include "support/regularfile.h"

#include <QFile>

namespace {

void melden(TCutReporter &report, const QString &text, const QString &datei)
{
    report.Meldung(text.arg(datei), TMeldungArt::Information);
}

const QString schreibFehler = QStringLiteral("Fehler beim Schreiben der Outatei \"%1\"!");

// The frames of one input, when the result gets a header frame of its own.
struct TEingabeFrames {
    TFrameIndex index;
    qint64 anfang = 0; // where its audio starts in the file
    qint64 anzahl = 0; // its audio bytes
};

// A header frame for the whole result when an input had one or the inputs' bit rates differ,
// all inputs being frames of one kind; the inputs' own header frames then stay out. Empty when
// the inputs are copied as they are.
QByteArray gemeinsamerKopf(const TDateiliste &Liste, const QString &Filename, std::vector<TEingabeFrames> &eingaben)
{
    eingaben.clear();
    bool kopf = false;
    bool vbr = false;
    qint32 bitrate = -1;
    for (const TDateiRec &r : Liste) {
        QFile ein(r.Filename);
        if (GleicheDatei(r.Filename, Filename) || DateiZumLesenOeffnen(ein) != TDateiOeffnen::Offen)
            return {};
        const TTagUmfang tags = TagUmfangLesen(ein);
        TEingabeFrames e;
        e.anfang = tags.ID3v2;
        e.anzahl = ein.size() - tags.ID3v2 - tags.ID3v1;
        if (e.anzahl <= 0 || !e.index.Lesen(ein, e.anfang, e.anzahl) || !e.index.Valid() || e.index.Layer() != 3)
            return {};
        const TFrameIndex &erste = eingaben.empty() ? e.index : eingaben.front().index;
        if (e.index.Samplerate() != erste.Samplerate() || e.index.SamplesProFrame() != erste.SamplesProFrame() ||
            (e.index.Vorlage()[3] >> 6 == 3) != (erste.Vorlage()[3] >> 6 == 3))
            return {};
        const qint32 b = e.index.Vorlage()[2] >> 4;
        vbr = vbr || e.index.Vbr() || (bitrate >= 0 && b != bitrate);
        bitrate = b;
        kopf = kopf || e.index.Kopf().Vorhanden;
        eingaben.push_back(std::move(e));
    }
    if (eingaben.empty() || (!kopf && !vbr))
        return {};
    TKopfFrame quelle = eingaben.front().index.Kopf();
    quelle.Info = quelle.Info && !vbr;
    quelle.Padding = eingaben.back().index.Kopf().Lame ? eingaben.back().index.Kopf().Padding : 0;
    const std::array<quint8, 4> &vorlage = eingaben.front().index.Vorlage();
    TKopfInhalt inhalt;
    for (TEingabeFrames &e : eingaben) {
        // A header frame carries no audio: the frames start after it.
        if (e.index.Kopf().Vorhanden) {
            e.anzahl -= e.index.ErsterFrame();
            e.anfang += e.index.ErsterFrame();
        }
        inhalt.Frames += e.index.Frames();
        inhalt.AudioBytes += e.anzahl;
    }
    const qint64 laenge = KopfFrameLaenge(vorlage, quelle.Lame);
    const qint64 gesamt = laenge + inhalt.AudioBytes;
    qint64 vorher = 0;      // audio bytes of the inputs before
    qint64 framesVorher = 0;
    size_t k = 0;
    for (int i = 0; i < 100; ++i) {
        const qint64 frame = inhalt.Frames * i / 100;
        while (k + 1 < eingaben.size() && frame >= framesVorher + eingaben[k].index.Frames()) {
            framesVorher += eingaben[k].index.Frames();
            vorher += eingaben[k].anzahl;
            ++k;
        }
        const TEingabeFrames &e = eingaben[k];
        const qint64 versatz = e.index.Kopf().Vorhanden ? e.index.ErsterFrame() : 0;
        const qint64 stelle = laenge + vorher + qMax<qint64>(0, e.index.UngefaehrerStart(frame - framesVorher) - versatz);
        inhalt.Toc[size_t(i)] = quint8(qMin<qint64>(255, stelle * 256 / gesamt));
    }
    return KopfFrameBauen(vorlage, quelle, vbr, inhalt);
}

// The join; `unveraendert` tells after a failure whether the target is as it was.
bool verbinden(const TDateiliste &Liste, const QString &Filename, TZielArt art, bool mitKopf, TCutReporter &report,
               bool &unveraendert)
{
    unveraendert = true;
    TByteCopy kopierer;
    TZielDatei ziel(Filename, art);
    switch (ziel.Oeffnen(kopierer)) {
    case TZielDatei::TStand::Offen:
        break;
    case TZielDatei::TStand::KeineDatei:
        melden(report, QStringLiteral("Die Outdatei \"%1\" ist keine gewöhnliche Datei!"), Filename);
        return false;
    case TZielDatei::TStand::NichtGeoeffnet:
        melden(report, QStringLiteral("Die Outdatei \"%1\" konnte nicht geöffnet werden!"), Filename);
        return false;
    case TZielDatei::TStand::LeseFehler:
        melden(report, QStringLiteral("Fehler beim Lesen der Outdatei \"%1\"!"), Filename);
        return false;
    case TZielDatei::TStand::SchreibFehler:
        melden(report, schreibFehler, Filename);
        return false;
    }
    const auto fehlschlag = [&](const QString &text) {
        ziel.Verwerfen(true);
        unveraendert = ziel.Unveraendert();
        melden(report, text, Filename);
        return false;
    };

    // Only a result that starts with the inputs gets a header frame; an append keeps the
    // target's start as it is.
    std::vector<TEingabeFrames> eingaben;
    const QByteArray kopf = mitKopf && ziel.Datei().pos() == 0 ? gemeinsamerKopf(Liste, Filename, eingaben) : QByteArray();
    if (!kopf.isEmpty() && ziel.Datei().write(kopf) != kopf.size())
        return fehlschlag(schreibFehler);

    bool gelesen = false;
    for (qsizetype i = 0; i < Liste.size(); ++i) {
        const TDateiRec &r = Liste[i];
        QFile ein(r.Filename);
        const TDateiOeffnen offen =
            GleicheDatei(r.Filename, Filename) ? TDateiOeffnen::Fehler : DateiZumLesenOeffnen(ein);
        if (offen != TDateiOeffnen::Offen) {
            melden(report,
                   offen == TDateiOeffnen::KeineDatei
                       ? QStringLiteral("Die Indatei \"%1\" ist keine gewöhnliche Datei!")
                       : QStringLiteral("Fehler beim Lesen der Indatei \"%1\"!"),
                   r.Filename);
            continue;
        }
        gelesen = true;
        const TTagUmfang tags = TagUmfangLesen(ein);
        qint64 von = tags.ID3v2;
        qint64 n = ein.size() - tags.ID3v2 - tags.ID3v1;
        if (!kopf.isEmpty()) {
            von = eingaben[size_t(i)].anfang;
            n = eingaben[size_t(i)].anzahl;
        }
        // A file of tags alone, or one whose ID3v2 size claims more than it holds, adds nothing.
        if (n <= 0)
            continue;
        // A join of several GiB takes minutes; the window must keep painting meanwhile.
        const auto nachBlock = [&report] { report.NachrichtenVerarbeiten(); };
        if (!ein.seek(von) || !kopierer.Kopieren(ein, ziel.Datei(), n, nachBlock).vollstaendig(n))
            return fehlschlag(schreibFehler);
    }
    // Not one input could be read: the target is not made, nor replaced by nothing.
    if (!gelesen && !Liste.isEmpty()) {
        ziel.Verwerfen(true);
        unveraendert = ziel.Unveraendert();
        return false;
    }
    if (!ziel.AltesEndeSchreiben(0))
        return fehlschlag(QStringLiteral("Fehler beim Schreiben der Outdatei \"%1\"!"));
    if (!ziel.Uebernehmen())
        return fehlschlag(schreibFehler);
    return true;
}

} // namespace

bool Mp3ErstellenOk(const TDateiliste &Liste, const QString &Filename, TCutReporter &report, bool mitKopf)
{
    bool unveraendert = true;
    return verbinden(Liste, Filename, TZielArt::Anhaengen, mitKopf, report, unveraendert);
}

TSpeichernErgebnis DateienSpeichern(const TDateiliste &Liste, const QString &datei, TCutReporter &report, bool mitKopf)
{
    QStringList eingaben;
    for (const TDateiRec &r : Liste)
        eingaben << r.Filename;
    const TZielWahl wahl = ZielErfragen(datei, eingaben, report);
    if (const auto ende = FrageEnde(wahl))
        return *ende;
    bool unveraendert = true;
    if (verbinden(Liste, datei, ZielArt(wahl), mitKopf, report, unveraendert)) {
        report.Meldung(ErfolgreichErstellt(datei), TMeldungArt::Information);
        return TSpeichernErgebnis::Erstellt;
    }
    report.Meldung(NichtErstellt(datei, wahl != TZielWahl::Neu && unveraendert), TMeldungArt::Information);
    return TSpeichernErgebnis::NichtErstellt;
}
