#include "cutting/joinwriter.h"

#include "support/bytecopy.h"
#include "cutting/cutreporter.h"
#include "cutting/segmentwriter.h"
#include "cutting/tagextents.h"
#include "support/fileutils.h"

#include <QFile>

namespace
{

void melden(TCutReporter &report, const QString &text, const QString &datei)
{
    report.Meldung(text.arg(datei), TMeldungArt::Information);
}

// After a failed write the target's kept ID3v1 tag is put back at the end of the file, so
// an interrupted append does not lose it. When there is no room for it any more, it takes the
// place of the last bytes written, which never lie before its old place.
void tagRetten(QFile &ziel, QFile &tag, TByteCopy &kopierer)
{
    const qint64 laenge = tag.size();
    if (laenge <= 0 || !tag.seek(0))
        return;
    const qint64 ende = ziel.size();
    if (ziel.seek(ende) && kopierer.Kopieren(tag, ziel, laenge).vollstaendig(laenge))
        return;
    if (tag.seek(0) && ziel.seek(ziel.size() - laenge))
        kopierer.Kopieren(tag, ziel, laenge);
}

} // namespace

bool Mp3ErstellenOk(const TDateiliste &Liste, const QString &Filename, TCutReporter &report)
{
    const QString nichtGeoeffnet = QStringLiteral("Die Outdatei \"%1\" konnte nicht geöffnet werden!");
    const QString tmpName = TempDateiName(QStringLiteral("TmpZinS"), 0);
    if (tmpName.isEmpty()) {
        melden(report, nichtGeoeffnet, Filename);
        return false;
    }
    QFile tag(tmpName);
    struct Aufraeumen {
        QFile &datei;
        ~Aufraeumen()
        {
            datei.close();
            datei.remove();
        }
    } aufraeumen{tag};

    QFile ziel(Filename);
    const bool vorhanden = ziel.exists();
    const bool zielOffen = vorhanden ? ziel.open(QIODevice::ReadWrite | QIODevice::Unbuffered)
                                     : ziel.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered);
    if (!zielOffen || !tag.open(QIODevice::ReadWrite | QIODevice::Truncate | QIODevice::Unbuffered)) {
        melden(report, nichtGeoeffnet, Filename);
        return false;
    }

    TByteCopy kopierer;
    const qint64 zielGroesse = vorhanden ? ziel.size() : 0;
    qint64 p = vorhanden ? zielGroesse - TagUmfangLesen(ziel).ID3v1 : 0;
    if (p < zielGroesse) {
        const qint64 n = zielGroesse - p;
        if (!ziel.seek(p) || !kopierer.Kopieren(ziel, tag, n).vollstaendig(n)) {
            melden(report, QStringLiteral("Fehler beim Lesen der Outdatei \"%1\"!"), Filename);
            return false;
        }
    }
    // From here on the target is written straight on, so a device such as a pipe works too.
    if (ziel.pos() != p && !ziel.seek(p)) {
        melden(report, nichtGeoeffnet, Filename);
        return false;
    }

    for (const TDateiRec &r : Liste) {
        QFile ein(r.Filename);
        if (GleicheDatei(r.Filename, Filename) || !ein.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
            melden(report, QStringLiteral("Fehler beim Lesen der Indatei \"%1\"!"), r.Filename);
            continue;
        }
        const TTagUmfang tags = TagUmfangLesen(ein);
        const qint64 n = ein.size() - tags.ID3v2 - tags.ID3v1;
        // A file of tags alone, or one whose ID3v2 size claims more than it holds, adds nothing.
        if (n <= 0)
            continue;
        // A join of several GiB takes minutes; the window must keep painting meanwhile.
        const auto nachBlock = [&report] { report.NachrichtenVerarbeiten(); };
        const bool ok = ein.seek(tags.ID3v2) && kopierer.Kopieren(ein, ziel, n, nachBlock).vollstaendig(n);
        if (!ok) {
            tagRetten(ziel, tag, kopierer);
            melden(report, QStringLiteral("Fehler beim Schreiben der Outatei \"%1\"!"), Filename);
            return false;
        }
        p += n;
    }

    const qint64 tagLaenge = tag.size();
    if (tagLaenge > 0) {
        if (!tag.seek(0) || !kopierer.Kopieren(tag, ziel, tagLaenge).vollstaendig(tagLaenge)) {
            tagRetten(ziel, tag, kopierer);
            melden(report, QStringLiteral("Fehler beim Schreiben der Outdatei \"%1\"!"), Filename);
            return false;
        }
    }
    return true;
}

TSpeichernErgebnis DateienSpeichern(const TDateiliste &Liste, const QString &datei, TCutReporter &report)
{
    QStringList eingaben;
    for (const TDateiRec &r : Liste)
        eingaben << r.Filename;
    if (const auto ende = FrageEnde(ZielErfragen(datei, eingaben, report)))
        return *ende;
    if (Mp3ErstellenOk(Liste, datei, report)) {
        report.Meldung(ErfolgreichErstellt(datei), TMeldungArt::Information);
        return TSpeichernErgebnis::Erstellt;
    }
    report.Meldung(NichtErstellt(datei), TMeldungArt::Information);
    return TSpeichernErgebnis::NichtErstellt;
}
