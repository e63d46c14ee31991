#pragma once

#include "platform/watchregistrysettings.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <memory>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSlider;
class QStatusBar;
class QTimer;
class TID3v1Tag;
class TID3v2Tag;
class TMediaPlayer;
class TScreenReaderOutput;
class THintergrundForm;
class TBytesForm;
class TMarkenForm;
class TGeheMarkeForm;
struct TTeilAuftrag;
class TId3TagsForm;
class TFensterReporter;

// The main window: everything about the one opened MP3 file.
class TForm1 : public QMainWindow, public TMailboxEmpfaenger {
    Q_OBJECT
public:
    explicit TForm1(const QStringList &arguments = {}, QWidget *parent = nullptr);
    ~TForm1() override;

    // File names handed in on the command line or by a second start; the first that exists is opened.
    const QStringList &Parameters() const { return FParameters; }

    // Requests of a second start or another program, handed over by the mailbox watcher.
    void WMCopyData(const QString &text) override;
    void WelfranzWmSetFocus() override;
    void WelfranzWmClose() override;

    // The opened file; setting a path opens it, setting empty text closes it.
    QString OriFilename() const { return FFilename; }
    void setOriFilename(const QString &name);
    // Opening the current file failed.
    bool FehlerS() const { return FFehlerS; }
    // The working copy: the opened file without its tags, which the player plays.
    QString TmpFilename() const { return FTmpFilename; }
    void setTmpFilename(const QString &name) { FTmpFilename = name; }

    // Split mode 1 to 4 (KBytes, minutes, seconds, marks).
    int Modus() const { return FModus; }
    void setModus(int modus);
    // The hint text of the third status panel.
    QString StatusText() const;
    void setStatusText(const QString &text);
    // The line last appended to the memo; setting appends a line and puts the caret on it.
    QString MemoText() const { return FMemoText; }
    void setMemoText(const QString &text);
    // The memo starts again with its head line.
    void MemoZuruecksetzen();
    // Shows the number of marks in the second status panel.
    void setStatusMarken(int anzahl);
    // The seek step in seconds, held within 1..60.
    int VorRueckSekunden() const { return FVorRueckSekunden; }
    void setVorRueckSekunden(int sekunden);
    // Moves the playback position by `ms` (may be negative).
    void setSpulen(qint64 ms);
    // The colour number of the text background; setting applies font and colours again.
    int HintergrundNr() const;
    void setHintergrundNr(int nr);
    // The open dialog's start folder.
    QString InitialDirStr() const { return FInitialDir; }
    void setInitialDirStr(const QString &folder);

    // Size of the working copy in bytes, the player's length in whole seconds and as time text.
    qint64 Mp3Size() const;
    qint64 Mp3Sekunden() const;
    QString Mp3StrDauer() const;
    // Full path of output piece `Nr` beside the opened file.
    QString NeueDatei(int Nr) const;

    // The mark list (milliseconds as decimal text, ascending) and the pieces of the last split.
    QStringList &Marken() { return FMarken; }
    QStringList &SplitDateien() { return FSplitDateien; }

    TMediaPlayer *MediaPlayer1() const { return FPlayer.get(); }
    // Pauses the player when it has a file and plays.
    void WiedergabePausieren();
    // The tags of the opened file, read at opening and cleared at closing.
    TID3v1Tag &Id3v1Tag() { return *FId3v1; }
    TID3v2Tag &Id3v2Tag() { return *FId3v2; }
    // The number dialog of splitting, seek step and go to minute.
    TBytesForm *BytesForm() const { return FBytesForm.get(); }
    THintergrundForm *HintergrundForm() const { return FHintergrundForm.get(); }
    // The tag editor, created at start and handed over; made here when none was.
    TId3TagsForm *Id3TagsForm();
    void setId3TagsForm(TId3TagsForm *form);

    // The shortcut of a menu item as the hint texts name it ("Strg+O").
    static QString Tastenkuerzel(const QAction *punkt);

    // Shows the playback position in Edit4 and the progress bar.
    void Timer1Timer();
    // Sets the volume slider from the device volume.
    void TrackSetzen();
    // Focuses Edit1 to Edit4 for 1 to 4, the memo otherwise.
    void SetFocus(int Nr);
    // Loads (true) or saves (false) the settings.
    void RegistryLadenSpeichern(bool LadenS);

    // Fields other windows and commands read and write.
    int LastMinNr = 0;
    qint64 Vorspann = 0;
    qint64 Bytes = 0;
    bool IsClosing = false;
    QPointer<QWidget> MerkActiveControl;
    // A modal window, the open dialog or the font dialog is showing.
    bool IsDialogOpen() const;
    void setIsDialogOpen(bool offen) { FIsDialogOpen = offen; }

    // The window set-up pattern.
    void CaptionZuweisen();
    void SchriftartZuweisen();
    void SchalterEinrichten();
    void FensterEinrichten();

    // Commands (menus, buttons, keys).
    // Without a sender the first handed-over name is opened instead of asking.
    void MenuDateiOpenClick(bool mitSender = true);
    void MenuDateiCloseClick();
    void MenuDateiBeendenClick();
    // Splitting (Button1 and MenuAktTeilen), marks, joining and tags.
    void Button1Click();
    void MenuAktTeilenClick() { Button1Click(); }
    void MenuAktMarkeSetzenClick();
    void MenuAktMarkenBearbeitenClick();
    void MenuAktZusammenfuegenClick();
    void MenuAktMp3InfosDateiClick();
    void MenuAktMp3InfosMehrereClick();
    // Runs each time the menu "A&ktionen" opens: enabling of the tag items.
    void MenuAktClick();
    void MenuPlayGeheMarkeClick();

    // Splitting and marks.
    // The number dialog for the split mode 1 to 3: bytes per piece, 0 when nothing is to be
    // done; sets Vorspann and LastMinNr.
    qint64 BytesEinlesen();
    // The upper limit of the number dialog for the current mode, digits grouped.
    QString MaxStrBytes() const;
    // Writes the pieces for Bytes and Vorspann, or at the marks.
    void TeilenStarten();
    void MarkenTeilenStarten();
    // Shows the marks editor; true when it closed with OK and its marks were taken over.
    bool MarkenAnzeigenOk(bool AOkS);
    // Milliseconds to time texts (true) and back (false), in place.
    void MarkenUmwandeln(bool StrPosS);
    // Whole seconds of the working copy as the MPEG analysis finds them.
    qint64 Mp3SekundenMpi() const;
    TMarkenForm *MarkenForm() const { return FMarkenForm.get(); }
    TGeheMarkeForm *GeheMarkeForm() const { return FGeheMarkeForm.get(); }
    // Playback.
    void MenuPlayPauseClick();
    void MenuPlayStopClick();
    void MenuPlayVorClick();
    void MenuPlayRueckClick();
    // Tag 1 louder, 2 softer.
    void MenuPlayLauterClick(int Tag);
    void MenuPlayGeheClick();
    void MenuEinstSpulschritteClick();
    void MediaPlayer1Notify();
    // Stop and Play/Pause enabled as the player's mode allows; the position timer runs with Stop.
    void WiedergabeFreigeben();
    // View, help.
    void MenuAnsSchriftartClick();
    void MenuAnsHintergrundClick();
    // After the font dialog: the font colour from the named colours, shown in their list.
    void SchriftfarbeWaehlen();
    void MenuHilfeClick();
    void MenuHilfeInfoClick();
    void MenuHilfeHomepageClick();
    void MenuHilfeUpdateClick();
    void MenuHilfeAenderungenClick();
    void MenuHilfeMailClick();
    void MenuHilfeSpendenClick();
    void TimerSendToTimer();

    // The controls, for the windows and tests that work with them.
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5;
    QLineEdit *Edit1, *Edit2, *Edit3, *Edit4;
    QSlider *TrackBar1;
    QPlainTextEdit *Memo1;
    QPushButton *Button1, *Button2;
    QProgressBar *ProgressBar1;
    QStatusBar *StatusBar1;
    QLabel *StatusPanel1, *StatusPanel2, *StatusPanel3;
    QTimer *Timer1, *TimerSendTo;
    QMenu *MenuDatei, *MenuAkt, *MenuAktMp3Infos, *MenuPlay, *MenuAns, *MenuEinst, *MenuHilfe, *PopupMenu1;
    QAction *MenuDateiOpen, *MenuDateiClose, *MenuDateiBeenden;
    QAction *MenuAktTeilen, *MenuAktZusammenfuegen, *MenuAktMarkeSetzen, *MenuAktMarkenBearbeiten;
    QAction *MenuAktMp3InfosAction, *MenuAktMp3InfosDatei, *MenuAktMp3InfosMehrere;
    QAction *MenuPlayPause, *MenuPlayStop, *MenuPlayVor, *MenuPlayRueck, *MenuPlayLauter, *MenuPlayLeiser,
        *MenuPlayGehe, *MenuPlayGeheMarke;
    QAction *MenuAnsSchriftart, *MenuAnsHintergrund;
    QAction *MenuEinstBytes, *MenuEinstMinuten, *MenuEinstSekunden, *MenuEinstMarken, *MenuEinstSpulschritte;
    QAction *MenuHilfeInfo, *MenuHilfeHomepage, *MenuHilfeUpdate, *MenuHilfeAenderungen, *MenuHilfeMail,
        *MenuHilfeSpenden;
    QAction *PuKopieren, *PuAllesMarkieren;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void SteuerelementeErstellen();
    void MenuesErstellen();
    QAction *MenuPunkt(QMenu *menu, const char *name, const QString &caption, const QKeySequence &shortcut = {});
    void captionSetzen(const QString &fileName);
    void DateiBefehleFreigeben(bool an);
    void Oeffnungshinweis();
    // "Fehler beim Öffnen der Datei!" and, on a second line, why.
    void OeffnungsFehler(const QString &grund);
    bool StellenPruefen(QObject *watched, QEvent *event);
    void PopupMenu1Popup();
    void MarkenDialogeErstellen();
    TTeilAuftrag Teilauftrag() const;
    // Reports of a split: memo lines into the memo, messages over this window.
    TFensterReporter MemoReporter();
    void NachDemTeilen(const QStringList &teile);
    // The tag command of both items: Tag 0 the opened file, 1 the pieces of the last split.
    void Mp3InfosEingeben(QAction *item);

    QStringList FParameters;
    QString FFilename;
    QString FTmpFilename;
    QString FMemoText;
    QString FInitialDir;
    int FModus = 0;
    int FVorRueckSekunden = 5;
    bool FFehlerS = false;
    bool FErstesZeigen = true;
    bool FIsDialogOpen = false;
    qint32 FFontFarbwert = -16777208; // the window-text colour
    int FFontCharSet = 0;
    QStringList FMarken;
    QStringList FSplitDateien;
    std::unique_ptr<TMediaPlayer> FPlayer;
    std::unique_ptr<TID3v1Tag> FId3v1;
    std::unique_ptr<TID3v2Tag> FId3v2;
    std::unique_ptr<TScreenReaderOutput> FScreenReader;
    std::unique_ptr<TBytesForm> FBytesForm;
    std::unique_ptr<THintergrundForm> FHintergrundForm;
    std::unique_ptr<TMarkenForm> FMarkenForm;
    std::unique_ptr<TGeheMarkeForm> FGeheMarkeForm;
    QPointer<TId3TagsForm> FId3TagsForm;
};
