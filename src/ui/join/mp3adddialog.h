#pragma once

#include "ui/common/dialogbase.h"

#include <QTimer>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTreeWidget;
class TMediaPlayer;

// The file collection dialog: searches Arbeitsordner (and on request its subfolders) for MP3
// files, lists them ticked, and goes on with the ticked ones to the order-and-save dialog.
class TMp3AddDlg : public TDialogBasis {
    Q_OBJECT
public:
    explicit TMp3AddDlg(QWidget *parent = nullptr);
    ~TMp3AddDlg() override;

    void CaptionZuweisen() override;
    void SchalterEinrichten() override;

    // The folder field shows `S`, with DateianzahlS followed by the number found; it gets the
    // focus; "&Weiter" is enabled exactly when the list has rows.
    void SetOrdner(const QString &S, bool DateianzahlS);

    // Closing, whatever the way, ends a running search and closes the player.
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void Timer1LadenTimer();
    void BtnClick(int tag);
    void Weiter();
    void Wechseln();
    void Anhaken(int tag, bool alle);
    void WiedergabeClick();
    void DateipfadClick(int tag);
    void MenusAktualisieren();

    QLabel *Le1OrdnerLabel;
    QLineEdit *Le1Ordner;
    QPushButton *Btn3Wechseln;
    QCheckBox *Cb1Unterordner;
    QTreeWidget *ListView1;
    QPushButton *Btn1Ok;
    QPushButton *Btn2Abbrechen;
    TMediaPlayer *MediaPlayer1;
    QTimer Timer1Laden;

    QMenu *PopupMenuLe1;
    QAction *PuLe1Wechseln;
    QAction *PuLe1Dateipfad;
    QMenu *PopupMenuLv1;
    QAction *PuLv1Anhaken;
    QAction *PuLv1Abhaken;
    QAction *PuLv1AlleMarkiertenAnhaken;
    QAction *PuLv1AlleMarkiertenAbhaken;
    QAction *PuLv1AlleMarkieren;
    QAction *PuLv1Wiedergabe;
    QAction *PuLv1Dateipfad;
};
