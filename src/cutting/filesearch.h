#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QtGlobal>
#include <functional>

class TCutReporter;

// One file to join.
struct TDateiRec {
    QString Filename;
    qint64 Size = 0;
    qint32 Dauer = 0; // whole seconds, 0 when the file cannot be analysed
};

using TDateiliste = QList<TDateiRec>;

// Measures the width of a text in the font of the control that shows it.
using TTextBreite = std::function<int(const QString &)>;

// Shortens a path until `messen` finds it no wider than `breite`: folder names go from the
// front as ".../", then the leading ".../" itself; the file name is never shortened.
QString PfadKuerzen(const QString &pfad, int breite, const TTextBreite &messen);

// Widths of the columns "Dateiname", "Dauer" and "Größe" of a file list `listenBreite` wide.
struct TSpaltenBreiten {
    int Dateiname = 0;
    int Dauer = 0;
    int Groesse = 0;
};
TSpaltenBreiten SpaltenBreiten(int listenBreite);

// The texts of one row of the joining dialogs' file lists: the path relative to
// `arbeitsordner`, shortened to `spalteBreite`; the playing time; the size.
struct TDateiZeile {
    QString Dateiname;
    QString Dauer;
    QString Groesse;
};
TDateiZeile DateiZeile(const TDateiRec &r, const QString &arbeitsordner, int spalteBreite, const TTextBreite &messen);

// The search for MP3 files in a folder and, on request, its subfolders. The window that runs
// it clears SucheAbbrechen when its search dialog is shown and sets it from its cancel button;
// the search sees it between two files.
class TDateiSuche
{
public:
    TDateiliste Fundliste;
    bool SucheAbbrechen = false;
    bool SucheLaeuft = false;

    // Playing time of a file in whole seconds. When not set, one audio file object reads every
    // file of the search.
    std::function<qint32(const QString &)> DauerLesen;
    // Called with each folder the tree walk enters (it ends with "/").
    std::function<void(const QString &)> OrdnerAnzeigen;

    // Empties Fundliste and searches `ordner` (ending with "/"). Returns false when cancelled.
    bool Suchen(const QString &ordner, bool UnterOrdnerS, TCutReporter &report);

private:
    void OrdnerDurchsuchen(const QString &F, TCutReporter &report);
    void BaumDurchlaufen(const QString &F, TCutReporter &report);

    std::function<qint32(const QString &)> FDauer;

    QSet<QString> FBesucht;
};
