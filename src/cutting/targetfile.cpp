#include "cutting/targetfile.h"

#include "cutting/tagextents.h"
#include "support/regularfile.h"

#include <QFileInfo>

#include <cerrno>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// Copies the first `p` bytes of `alt` into `neu`; holes of a sparse file stay holes, so a
// large file of few data costs little.
TZielDatei::TStand vorderteilKopieren(QFile &alt, QFile &neu, qint64 p, TByteCopy &kopierer)
{
    if (!neu.resize(0) || !neu.resize(p))
        return TZielDatei::TStand::SchreibFehler;
    qint64 von = 0;
    while (von < p) {
        off_t daten = ::lseek(alt.handle(), von, SEEK_DATA);
        if (daten < 0 && errno == ENXIO)
            break; // only a hole up to the end
        if (daten < 0)
            daten = von;
        if (daten >= p)
            break;
        off_t loch = ::lseek(alt.handle(), daten, SEEK_HOLE);
        if (loch < 0 || loch > p)
            loch = p;
        const qint64 n = loch - daten;
        if (!alt.seek(daten) || !neu.seek(daten))
            return TZielDatei::TStand::LeseFehler;
        const TKopierErgebnis e = kopierer.Kopieren(alt, neu, n);
        if (!e.vollstaendig(n))
            return e.schreibfehler ? TZielDatei::TStand::SchreibFehler : TZielDatei::TStand::LeseFehler;
        von = loch;
    }
    return TZielDatei::TStand::Offen;
}

} // namespace

TZielDatei::TZielDatei(const QString &name, TZielArt art) : FName(name), FArt(art) {}

TZielDatei::~TZielDatei() = default;

TZielDatei::TStand TZielDatei::Oeffnen(TByteCopy &kopierer)
{
    if (FName.isEmpty())
        return TStand::NichtGeoeffnet;
    if (SonderDatei(FName))
        return TStand::KeineDatei;
    const TZielArt art = QFileInfo::exists(FName) ? FArt : TZielArt::Neu;
    if (art != TZielArt::Anhaengen) {
        FErsatz = std::make_unique<TDateiErsatz>(FName, art == TZielArt::Neu ? TDateiErsatz::TArt::Neu
                                                                             : TDateiErsatz::TArt::Name);
        return FErsatz->Anlegen() ? TStand::Offen : TStand::NichtGeoeffnet;
    }

    // The new file first: it takes the old one's times before reading them changes them.
    FErsatz = std::make_unique<TDateiErsatz>(FName, TDateiErsatz::TArt::Datei);
    const bool daneben = FErsatz->Anlegen();
    QFile alt(FName);
    if (DateiZumLesenOeffnen(alt) != TDateiOeffnen::Offen)
        return TStand::NichtGeoeffnet;
    const qint64 groesse = alt.size();
    const qint64 p = groesse - TagUmfangLesen(alt).ID3v1;
    if (p < groesse) {
        if (!alt.seek(p))
            return TStand::LeseFehler;
        FEnde = alt.read(groesse - p);
        if (FEnde.size() != groesse - p)
            return TStand::LeseFehler;
    }

    if (daneben) {
        QFile &neu = FErsatz->Datei();
        // Where the file system shares blocks between files, the old bytes need no copy.
        const bool geteilt = ::ioctl(neu.handle(), FICLONE, alt.handle()) == 0 && neu.resize(p);
        if (!geteilt) {
            const TStand s = vorderteilKopieren(alt, neu, p, kopierer);
            if (s != TStand::Offen)
                return s;
        }
        return neu.seek(p) ? TStand::Offen : TStand::SchreibFehler;
    }
    FErsatz.reset();
    // Several hard links, or a folder that takes no new file: the links expect the file itself
    // to grow.
    FImOrt = true;
    FImOrtDatei.setFileName(FName);
    if (!FImOrtDatei.open(QIODevice::ReadWrite | QIODevice::Unbuffered) || !FImOrtDatei.seek(p))
        return TStand::NichtGeoeffnet;
    return TStand::Offen;
}

QFile &TZielDatei::Datei()
{
    return FImOrt ? FImOrtDatei : FErsatz->Datei();
}

bool TZielDatei::AltesEndeSchreiben(qint64 ab)
{
    const QByteArray rest = FEnde.mid(ab);
    return rest.isEmpty() || Datei().write(rest) == rest.size();
}

bool TZielDatei::Uebernehmen()
{
    if (FImOrt)
        return true;
    const bool ok = FErsatz && FErsatz->Uebernehmen();
    FErsatz.reset();
    return ok;
}

void TZielDatei::Verwerfen(bool tagRetten)
{
    FErsatz.reset();
    if (!FImOrt || !tagRetten || FEnde.isEmpty() || !FImOrtDatei.isOpen())
        return;
    // The tag goes behind the bytes written; when there is no room for it any more, it takes
    // the place of the last of them, which never lie before its old place.
    QFile &ziel = FImOrtDatei;
    if (ziel.seek(ziel.size()) && ziel.write(FEnde) == FEnde.size())
        return;
    if (ziel.seek(ziel.size() - FEnde.size()))
        ziel.write(FEnde);
}
