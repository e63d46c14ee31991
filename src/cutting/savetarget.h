#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class TCutReporter;

// The target of a save step (the marks editor's and the order-and-save dialog's): the question
// about an existing file and the texts that close the step.

// How a save step ended.
enum class TSpeichernErgebnis {
    Erstellt,       // the file was written to its end
    NichtErstellt,  // a failure, told to the user
    Abgebrochen,    // the user cancelled at the question
    ZielIstEingabe, // "overwrite" chosen for a file that is also read by the step; it stays as it was
};

// What becomes of the file chosen in a save dialog.
enum class TZielWahl { Neu, Anhaengen, Abbrechen, NichtLoeschbar, ZielIstEingabe };

// Asks about an existing `datei`: Ja appends to it, Nein deletes it so that a new file is made,
// Abbrechen stops. A file that is one of `eingaben` is never deleted (it would be read empty
// afterwards): the user is told and the step stops. A file that cannot be deleted is reported
// as not created, so the user's "overwrite" never turns into an append.
TZielWahl ZielErfragen(const QString &datei, const QStringList &eingaben, TCutReporter &report);

// The end of a save step that the question already decided; empty when the write goes on.
std::optional<TSpeichernErgebnis> FrageEnde(TZielWahl wahl);

// True when both names lead to the same existing file (also through links).
bool GleicheDatei(const QString &a, const QString &b);

// "Die Datei "…" konnte nicht erstellt werden!", shown after every failed save.
QString NichtErstellt(const QString &datei);
// "Die Datei "…" wurde erfolgreich erstellt!", the order-and-save dialog's success.
QString ErfolgreichErstellt(const QString &datei);
// Why an input cannot be overwritten.
QString ZielIstEingabeText(const QString &datei);
