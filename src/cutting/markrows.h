#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

class TCutReporter;

// One row of the marks editor's segment list.
struct TMarkenZeile {
    QString Nummer;   // "1.", "2.", ...
    QString Position; // "start - end", both time texts with three decimals
    bool Angehakt = false;
};

// One byte range of the working copy, as stored in TmpMarken ("start count").
struct TByteBereich {
    qint64 Start = 0;
    qint64 Anzahl = 0;
};

// The state of the marks editor without its window: the segment rows built from the mark
// list, ticking, moving and deleting marks, and the byte ranges of the chosen segments. The
// window shows `Zeilen()` and keeps `AktuelleZeile` in step with its own selection.
class MarkRows
{
public:
    // Set by the caller before the editor is shown.
    bool OkS = false;
    qint64 MaxLength = 0; // milliseconds
    qint64 MaxSize = 0;   // bytes
    QString OriFilename;  // the working copy
    QStringList Marken;   // time texts H:MM:SS,mmm, ascending

    // Filled by MarkenBytesErmitteln.
    QStringList TmpMarken;
    qint64 TmpMp3Dauer = 0;

    // true: build the rows from Marken; false: rebuild Marken from the rows. Raises
    // EConvertError when a mark is no time text.
    void MarkenZuweisen(bool AnfangS);
    // ATag 0: all ticked rows, 1: the current row, 2: the last two seconds of the current row.
    void MarkenBytesErmitteln(int ATag);
    // Moves the mark at the end of the current row (TagNr 0/1: 10 ms left/right, 2/3: 100 ms).
    // Returns false when the move is not allowed; the window then gives the default beep.
    // Without a current row nothing happens and true is returned.
    bool MarkeVerschieben(int TagNr);
    // Asks through `report` and deletes the current row (false) or every ticked row (true).
    // Returns true when rows were removed.
    bool EintragLoeschen(bool CheckBoxS, TCutReporter &report);
    // The deletion itself, without asking.
    void ZeilenLoeschen(bool CheckBoxS);
    void AlleAnhaken(bool AnhakenS);
    bool EtwasAngehakt() const;
    bool AlleAngehakt(bool AlleS) const;
    // Button1 may close the editor: always in edit mode, with at least one mark when splitting.
    bool Button1Aktiv() const;

    const QList<TMarkenZeile> &Zeilen() const { return FZeilen; }
    void SetAngehakt(int zeile, bool angehakt);
    int AktuelleZeile = -1;

    // TmpMarken read back as numbers.
    QList<TByteBereich> Bereiche() const;

private:
    QList<TMarkenZeile> FZeilen;
};
