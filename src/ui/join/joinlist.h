#pragma once

#include "cutting/filesearch.h"

#include <QKeySequence>
#include <QPoint>
#include <QString>

class QAction;
class QLabel;
class QMenu;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;
class TMediaPlayer;

// The file lists of the joining dialogs: report lists with grid lines, whole-row selection,
// read-only captions, no sorting, and the columns "Dateiname", "Dauer", "Größe", all centred.
void DateiListeEinrichten(QTreeWidget *liste, const QString &name);

// Column widths from the list's width (after the dialog's layout).
void SpaltenBreitenSetzen(QTreeWidget *liste);

// Writes the three texts of `r` into `zeile`: the path relative to Arbeitsordner, shortened to
// the first column's width in the list's font, the playing time and the size.
void ZeileSchreiben(QTreeWidget *liste, QTreeWidgetItem *zeile, const TDateiRec &r);

// `menu` is the list's pop-up menu. The context-menu key scrolls the current row into view
// first, and the menu opens beside that row.
void ListenMenuSetzen(QTreeWidget *liste, QMenu *menu);

// When the player plays, it stops; otherwise it opens `datei` and plays it. A file that cannot
// be opened is reported with the player's message.
void WiedergabeUmschalten(TMediaPlayer &player, const QString &datei, QWidget *fenster);

// Stops the player when it plays.
void WiedergabeAnhalten(TMediaPlayer &player);

// A click on the label focuses its field.
void LabelKlickFokussiert(QLabel *label, QWidget *feld);

// The folder of a file, with its trailing "/".
QString DateiOrdner(const QString &datei);

// A pop-up menu item named `name`; with a shortcut it also answers that key while `besitzer`
// has the focus.
QAction *MenuAktion(QMenu *menu, QWidget *besitzer, const char *name, const QString &text,
                    const QKeySequence &taste = {});
