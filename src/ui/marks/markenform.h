#pragma once

#include "cutting/markrows.h"
#include "ui/common/dialogbase.h"

#include <QStringList>

class QAction;
class QFileDialog;
class QMenu;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class TMediaPlayer;
class TKastenStil;

// The marks editor: the marks as numbered segments, to delete, move, tick, play and save
// joined. The rows and byte ranges are the engine's MarkRows; this window shows them, plays
// through its own player and writes through the engine.
class TMarkenForm : public TDialogBasis {
    Q_OBJECT
public:
    explicit TMarkenForm(QWidget *parent = nullptr);
    ~TMarkenForm() override;

    // Set by the caller before showing; Marken comes back after an OK.
    bool OkS = false;
    qint64 MaxLength = 0; // ms
    qint64 MaxSize = 0;   // bytes
    QString OriFilename;  // the working copy
    int VorRueckSekunden = 5;
    int PlusVolume = 0;
    QStringList Marken; // time texts H:MM:SS,mmm, ascending

    // The editor's own playback file.
    QString TmpFilename() const { return FTmpFilename; }

    void MarkenZuweisen(bool AnfangS);
    void MarkenBytesErmitteln(int ATag);
    void MarkeVerschieben(int TagNr);
    void EintragLoeschen(bool CheckBoxS);
    void AlleAnhaken(bool AnhakenS);
    bool EtwasAngehakt() const;
    bool AlleAngehakt(bool AlleS) const;
    // Moves the playback by `ms` (negative: back) while it plays.
    void setSpulen(qint64 ms);

    // The rows and the byte ranges last built, as the engine holds them.
    const MarkRows &Zeilen() const { return FZeilen; }

    void CaptionZuweisen() override;
    void SchriftartZuweisen() override;
    void SchalterEinrichten() override;

    // Closes with OK; its caption is the caller's ("O&K" or "Teilen &starten").
    QPushButton *Button1 = nullptr;

public slots:
    void done(int r) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void AktionenAnlegen();
    QAction *Aktion(QMenu *menu, const char *name, const QString &caption, const QKeySequence &key, int tag);
    void PopupOeffnen();
    void PopupSchliessen();
    void ZeilenAnzeigen(int aktuell);
    void ZeileBeschriften(QTreeWidgetItem *item, int zeile);
    void Button1Regel();
    void PlayClick(int tag);
    void LautstaerkeClick(int tag);
    void SpeichernClick();
    void WiedergabeStoppen();

    MarkRows FZeilen;
    TKastenStil *FKastenStil = nullptr;
    QString FTmpFilename;
    bool FAnzeigen = false;

    QTreeWidget *ListView1 = nullptr;
    QPushButton *Button2 = nullptr;
    QMenu *PopupMenu1 = nullptr;
    QMenu *PopupPlay = nullptr;
    QFileDialog *SaveDialog1 = nullptr;
    TMediaPlayer *MediaPlayer1 = nullptr;

    QAction *PopupLoeschen = nullptr;
    QAction *PopupHakenLoeschen = nullptr;
    QAction *PopupMarkeLinks = nullptr;
    QAction *PopupMarkeRechts = nullptr;
    QAction *PopupMarkeLinks2 = nullptr;
    QAction *PopupMarkeRechts2 = nullptr;
    QAction *PopupAlleAnhaken = nullptr;
    QAction *PopupKeineAnhaken = nullptr;
    QAction *PopupSpeichern = nullptr;
    QAction *PopupPlayPlay = nullptr;
    QAction *PopupPlayPlay2 = nullptr;
    QAction *PopupPlayLetzte = nullptr;
    QAction *PopupPlayVor = nullptr;
    QAction *PopupPlayRueck = nullptr;
    QAction *PopupPlayLauter = nullptr;
    QAction *PopupPlayLeiser = nullptr;
};
