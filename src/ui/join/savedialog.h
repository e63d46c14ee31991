#pragma once

#include "cutting/filesearch.h"
#include "ui/common/dialogbase.h"

class QAction;
class QMenu;
class QPushButton;
class QTreeWidget;
class TMediaPlayer;

// Filter of the program's file dialogs: MP3 files first, then all files.
extern const QString Mp3DateiFilter;

// The order-and-save dialog: puts the files of Liste in order, plays one, and writes their
// audio one after another into a new file or the end of an existing one.
class TSpeichernDlg : public TDialogBasis {
    Q_OBJECT
public:
    explicit TSpeichernDlg(QWidget *parent = nullptr);

    // The files in the order they will be written; set before showing.
    TDateiliste Liste;

    void CaptionZuweisen() override;
    void SchalterEinrichten() override;

    // Writes row `Index` from Liste[Index], adding it when the list is shorter.
    void SetLv1Item(int Index);
    // Swaps the current entry with the one above (ObenS) or below it.
    void NachObenUnten(bool ObenS);
    // Asks for the target and writes; true only when the file dialog was cancelled.
    bool SpeichernOk();

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void BtnClick(int tag);
    void UpdateButtons();
    void MenuAktualisieren();
    void WiedergabeClick();
    void DateipfadClick();
    int AktuelleZeile() const;

    QTreeWidget *ListView1;
    QPushButton *Btn3NachOben;
    QPushButton *Btn4NachUnten;
    QPushButton *Btn1Speichern;
    QPushButton *Btn2Zurueck;
    TMediaPlayer *MediaPlayer1;

    QMenu *PopupMenuLv1;
    QAction *PuLv1NachOben;
    QAction *PuLv1NachUnten;
    QAction *PuLv1Speichern;
    QAction *PuLv1Wiedergabe;
    QAction *PuLv1Dateipfad;
};
