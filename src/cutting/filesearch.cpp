#include "cutting/filesearch.h"

#include "audio/mp3file.h"
#include "cutting/cutreporter.h"
#include "support/formatting.h"

#include <QDir>
#include <QFileInfo>

#include <cmath>
#include <memory>

namespace
{

const QString Auslassung = QStringLiteral(".../");

// Drops the first folder name of `ordner` (a folder part ending with "/"), keeping a leading
// "/" and marking the gap with ".../".
QString ersterOrdnerWeg(QString ordner)
{
    // A bare root has no folder name left; keeping its "/" would never end the shortening.
    if (ordner == QLatin1String("/"))
        return QString();
    const bool wurzel = ordner.startsWith(QLatin1Char('/'));
    if (wurzel)
        ordner.remove(0, 1);
    if (ordner.startsWith(Auslassung))
        ordner.remove(0, Auslassung.size());
    const qsizetype p = ordner.indexOf(QLatin1Char('/'));
    ordner = p >= 0 ? Auslassung + ordner.mid(p + 1) : QString();
    if (wurzel)
        ordner.prepend(QLatin1Char('/'));
    return ordner;
}

} // namespace

QString PfadKuerzen(const QString &pfad, int breite, const TTextBreite &messen)
{
    // A drive only exists in paths like "C:/..."; on this system it is usually empty.
    QString laufwerk;
    QString rest = pfad;
    if (rest.size() >= 2 && rest[1] == QLatin1Char(':') && rest[0].isLetter()) {
        laufwerk = rest.left(2);
        rest.remove(0, 2);
    }
    const qsizetype trenner = rest.lastIndexOf(QLatin1Char('/'));
    QString ordner = rest.left(trenner + 1);
    const QString name = rest.mid(trenner + 1);

    QString ergebnis = pfad;
    while ((!ordner.isEmpty() || !laufwerk.isEmpty()) && messen(ergebnis) > breite) {
        if (ordner == QLatin1Char('/') + Auslassung) {
            laufwerk.clear();
            ordner = Auslassung;
        } else if (ordner.isEmpty()) {
            laufwerk.clear();
        } else {
            ordner = ersterOrdnerWeg(ordner);
        }
        ergebnis = laufwerk + ordner + name;
    }
    return ergebnis;
}

TSpaltenBreiten SpaltenBreiten(int listenBreite)
{
    const auto anteil = [listenBreite](int prozent) {
        return static_cast<int>(std::trunc(static_cast<long double>(listenBreite) / 100 * prozent));
    };
    return {anteil(73), anteil(10), anteil(17)};
}

TDateiZeile DateiZeile(const TDateiRec &r, const QString &arbeitsordner, int spalteBreite, const TTextBreite &messen)
{
    QString name = r.Filename;
    if (!arbeitsordner.isEmpty() && name.startsWith(arbeitsordner))
        name.remove(0, arbeitsordner.size());
    if (messen && messen(name) > spalteBreite)
        name = PfadKuerzen(name, spalteBreite, messen);
    return {name, DauerText(r.Dauer), GroesseText(true, r.Size)};
}

bool TDateiSuche::Suchen(const QString &ordner, bool UnterOrdnerS, TCutReporter &report)
{
    SucheLaeuft = true;
    // Also when a reader throws, the search is over afterwards.
    struct Ende {
        TDateiSuche &suche;
        ~Ende()
        {
            suche.FBesucht.clear();
            suche.FDauer = nullptr;
            suche.SucheLaeuft = false;
        }
    } ende{*this};
    std::unique_ptr<TMP3File> audio;
    if (DauerLesen) {
        FDauer = DauerLesen;
    } else {
        audio = std::make_unique<TMP3File>();
        FDauer = [&audio](const QString &datei) {
            audio->ReadFromFile(datei);
            return audio->Duration();
        };
    }
    Fundliste.clear();
    FBesucht.clear();
    if (UnterOrdnerS)
        BaumDurchlaufen(ordner, report);
    else
        OrdnerDurchsuchen(ordner, report);
    return !SucheAbbrechen;
}

void TDateiSuche::OrdnerDurchsuchen(const QString &F, TCutReporter &report)
{
    if (SucheAbbrechen)
        return;
    // Regular files only: a pipe or device named *.mp3 would block the duration reader.
    const QFileInfoList eintraege = QDir(F).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &info : eintraege) {
        // isFile() follows a link: a link to a pipe is no regular file either.
        if (!info.isFile() || !info.fileName().endsWith(QLatin1String(".mp3"), Qt::CaseInsensitive))
            continue;
        report.NachrichtenVerarbeiten();
        if (SucheAbbrechen)
            return;
        TDateiRec r;
        r.Filename = F + info.fileName();
        r.Size = info.size();
        r.Dauer = FDauer(r.Filename);
        Fundliste.append(r);
    }
}

void TDateiSuche::BaumDurchlaufen(const QString &F, TCutReporter &report)
{
    if (SucheAbbrechen)
        return;
    // Each real folder once, so a symbolic link back up the tree cannot make the walk endless.
    const QString echt = QFileInfo(F).canonicalFilePath();
    if (echt.isEmpty() || FBesucht.contains(echt))
        return;
    FBesucht.insert(echt);
    if (OrdnerAnzeigen)
        OrdnerAnzeigen(F);
    OrdnerDurchsuchen(F, report);
    const QFileInfoList eintraege = QDir(F).entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &info : eintraege) {
        report.NachrichtenVerarbeiten();
        if (SucheAbbrechen)
            return;
        if (info.isDir())
            BaumDurchlaufen(F + info.fileName() + QLatin1Char('/'), report);
    }
}
