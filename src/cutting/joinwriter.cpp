#include "cutting/joinwriter.h"

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

// The join; `unveraendert` tells after a failure whether the target is as it was.
bool verbinden(const TDateiliste &Liste, const QString &Filename, TZielArt art, TCutReporter &report,
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

    bool gelesen = false;
    for (const TDateiRec &r : Liste) {
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
        const qint64 n = ein.size() - tags.ID3v2 - tags.ID3v1;
        // A file of tags alone, or one whose ID3v2 size claims more than it holds, adds nothing.
        if (n <= 0)
            continue;
        // A join of several GiB takes minutes; the window must keep painting meanwhile.
        const auto nachBlock = [&report] { report.NachrichtenVerarbeiten(); };
        if (!ein.seek(tags.ID3v2) || !kopierer.Kopieren(ein, ziel.Datei(), n, nachBlock).vollstaendig(n))
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

bool Mp3ErstellenOk(const TDateiliste &Liste, const QString &Filename, TCutReporter &report)
{
    bool unveraendert = true;
    return verbinden(Liste, Filename, TZielArt::Anhaengen, report, unveraendert);
}

TSpeichernErgebnis DateienSpeichern(const TDateiliste &Liste, const QString &datei, TCutReporter &report)
{
    QStringList eingaben;
    for (const TDateiRec &r : Liste)
        eingaben << r.Filename;
    const TZielWahl wahl = ZielErfragen(datei, eingaben, report);
    if (const auto ende = FrageEnde(wahl))
        return *ende;
    bool unveraendert = true;
    if (verbinden(Liste, datei, ZielArt(wahl), report, unveraendert)) {
        report.Meldung(ErfolgreichErstellt(datei), TMeldungArt::Information);
        return TSpeichernErgebnis::Erstellt;
    }
    report.Meldung(NichtErstellt(datei, wahl != TZielWahl::Neu && unveraendert), TMeldungArt::Information);
    return TSpeichernErgebnis::NichtErstellt;
}
