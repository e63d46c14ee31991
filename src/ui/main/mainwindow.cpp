#include "ui/main/mainwindow.h"

#include "cutting/cutreporter.h"
#include "cutting/marklist.h"
#include "cutting/marksplit.h"
#include "cutting/mp3seconds.h"
#include "cutting/piecenames.h"
#include "cutting/sizesplit.h"
#include "decoder/workingcopyopen.h"
#include "platform/desktopentry.h"
#include "platform/player.h"
#include "platform/programfiles.h"
#include "platform/registrymailbox.h"
#include "platform/screenreaderoutput.h"
#include "platform/settings.h"
#include "platform/shell.h"
#include "platform/singleinstance.h"
#include "platform/sounds.h"
#include "platform/userfolders.h"
#include "platform/volume.h"
#include "support/fileutils.h"
#include "support/formatting.h"
#include "tags/codepage.h"
#include "tags/id3v1tag.h"
#include "tags/id3v2tag.h"
#include "ui/common/accessibility.h"
#include "ui/common/activecontrol.h"
#include "ui/common/appearance.h"
#include "ui/common/apptitle.h"
#include "ui/common/buttonkeys.h"
#include "ui/common/busy.h"
#include "ui/common/fieldnames.h"
#include "ui/common/messages.h"
#include "ui/common/windowmeasures.h"
#include "ui/common/windowreporter.h"
#include "ui/join/mp3adddialog.h"
#include "ui/main/bytesform.h"
#include "ui/main/gehemarkeform.h"
#include "ui/main/hintergrundform.h"
#include "ui/marks/markenform.h"
#include "ui/tags/id3tagsform.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QListWidget>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QStyle>
#include <QTextBlock>
#include <QTimer>
#include <QWindow>
#include <climits>
#include <cmath>

namespace {

const QString OeffnenFilter = QStringLiteral("MP3-Dateien (*.MP3 *.mp3);;Alle Dateien (*)");
const QString KeineAngabe = QStringLiteral("-");
const QString HomepageAdresse = QStringLiteral("https://zindara.example.org/");
const QString SpendenAdresse = QStringLiteral("https://zindara.example.org/spenden.htm");
const QString MailAdresse = QStringLiteral("zindara@example.org");

// A field of the main window: the caret goes to the start on entry instead of selecting all.
// The accessibility layer hears of the focus only after focusInEvent returns; a caret move
// before that makes Orca take the field as focused already and leave it unsaid.
class TFeldEdit : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

protected:
    void focusInEvent(QFocusEvent *event) override
    {
        if (event->reason() == Qt::MouseFocusReason || event->reason() == Qt::PopupFocusReason ||
            event->reason() == Qt::ActiveWindowFocusReason) {
            // The click places the caret; back from a pop-up menu or with its window, the field
            // keeps its caret and selection (the menu's "Alles markieren" among them).
            QLineEdit::focusInEvent(event);
            return;
        }
        // Without the select-all of keyboard focus, a caret already at the start stays put.
        QFocusEvent ohneAuswahl(QEvent::FocusIn, Qt::OtherFocusReason);
        QLineEdit::focusInEvent(&ohneAuswahl);
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (!hasFocus())
                    return;
                if (hasSelectedText())
                    deselect();
                if (cursorPosition() != 0)
                    setCursorPosition(0);
            },
            Qt::QueuedConnection);
    }
};

// A status bar panel: never wider than its share of the window; a text too long for it is
// elided on screen, while a screen reader still reads it whole.
class TStatusPanel : public QLabel {
public:
    using QLabel::QLabel;

    QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const QRect r = contentsRect();
        style()->drawItemText(&p, r, QStyle::visualAlignment(layoutDirection(), alignment()), palette(), isEnabled(),
                              fontMetrics().elidedText(text(), Qt::ElideRight, r.width()), foregroundRole());
    }
};

} // namespace

QString WelfranzProgramm()
{
    return ProgrammDatei(QStringLiteral("welfranz"));
}

QString HistoryDatei()
{
    return ProgrammDatei(QStringLiteral("History.txt"));
}

TForm1::TForm1(const QStringList &arguments, QWidget *parent)
    : QMainWindow(parent), FPlayer(std::make_unique<TMediaPlayer>()), FId3v1(std::make_unique<TID3v1Tag>()),
      FId3v2(std::make_unique<TID3v2Tag>())
{
    setObjectName(QStringLiteral("Form1"));
    ZugangEinrichten();
    // Tests speak through their own recording screen reader.
    if (!Sprachausgabe()) {
        FScreenReader = std::make_unique<TScreenReaderOutput>();
        FScreenReader->Load();
        SprachausgabeSetzen(FScreenReader.get());
    }
    AnwendungsTitelSetzen(QLatin1String(ProgrammTitel));

    SteuerelementeErstellen();
    KnopfTastenEinrichten(this);
    MenuesErstellen();
    // The window's own controls come first among its children, before those of its dialogs.
    // The colour dialog starts on white; the font of the font dialog is the program's font.
    FHintergrundForm = std::make_unique<THintergrundForm>(this, 10, 125);
    FHintergrundForm->setHintergrundNr(1);
    ProgrammAussehen().Hintergrund = FHintergrundForm->HintergrundFarbe();
    FBytesForm = std::make_unique<TBytesForm>(this);
    connect(FPlayer.get(), &TMediaPlayer::OnNotify, this, &TForm1::MediaPlayer1Notify);

    setOriFilename(QString());
    try {
        FTmpFilename = TempMp3Name();
    } catch (const EFileError &e) {
        MeldungZeigen(QString::fromUtf8(e.what()) +
                          QStringLiteral("\nOhne diese Arbeitskopie kann keine MP3-Datei geöffnet werden."),
                      TMeldungArt::Fehler);
    }
    CaptionZuweisen();
    for (const QString &a : arguments) {
        const QString t = BlanksAbschneiden(a);
        if (!t.isEmpty())
            FParameters << t;
    }
    // File managers offer "Open with Zindara" through this entry; a failure does not matter.
    SendToVerknuepfungErneuern();
    MarkenDialogeErstellen();
}

TForm1::~TForm1()
{
    Timer1->stop();
    FPlayer->Close();
    if (!FTmpFilename.isEmpty())
        QFile::remove(FTmpFilename);
    if (FScreenReader && Sprachausgabe() == FScreenReader.get())
        SprachausgabeSetzen(nullptr);
}

void TForm1::SteuerelementeErstellen()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("Client"));
    setCentralWidget(client);
    client->installEventFilter(this);

    auto label = [client](const char *name) {
        auto *l = new QLabel(client);
        l->setObjectName(QLatin1String(name));
        return l;
    };
    auto edit = [client, this](const char *name, int tag) {
        auto *e = new TFeldEdit(client);
        e->setObjectName(QLatin1String(name));
        e->setProperty("Tag", tag);
        e->setReadOnly(true);
        e->setContextMenuPolicy(Qt::CustomContextMenu);
        e->installEventFilter(this);
        return e;
    };
    Label1 = label("Label1");
    Edit1 = edit("Edit1", 1);
    Label2 = label("Label2");
    Edit2 = edit("Edit2", 2);
    Label3 = label("Label3");
    Edit3 = edit("Edit3", 3);
    Label4 = label("Label4");
    Edit4 = edit("Edit4", 4);
    Label5 = label("Label5");

    TrackBar1 = new QSlider(Qt::Horizontal, client);
    TrackBar1->setObjectName(QStringLiteral("TrackBar1"));
    TrackBar1->setProperty("Tag", 0);
    TrackBar1->setRange(0, 100);
    TrackBar1->setPageStep(3);
    TrackBar1->setTickInterval(5);
    TrackBar1->setTickPosition(QSlider::TicksBelow);
    TrackBar1->installEventFilter(this);
    connect(TrackBar1, &QSlider::valueChanged, this, [this](int position) {
        // One step of the slider is 655.35 units of the device volume.
        const int v = int(std::trunc(position * 655.35L));
        LautstaerkeSetzen(v, v);
    });

    Memo1 = new QPlainTextEdit(client);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setProperty("Tag", 0);
    Memo1->setReadOnly(true);
    // Keys move the caret, so a screen reader reads the memo line by line.
    Memo1->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    Memo1->setTabChangesFocus(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setContextMenuPolicy(Qt::CustomContextMenu);
    Memo1->setAccessibleName(QStringLiteral("Teilungsinformationen"));
    Memo1->installEventFilter(this);

    Button2 = new QPushButton(client);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setProperty("Tag", 0);
    connect(Button2, &QPushButton::clicked, this, [this] { MenuAktMarkeSetzenClick(); });
    Button1 = new QPushButton(client);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setProperty("Tag", 0);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });

    ProgressBar1 = new QProgressBar(client);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setProperty("Tag", 0);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setAccessibleName(QStringLiteral("Fortschritt"));

    for (QWidget *w : {static_cast<QWidget *>(Edit1), static_cast<QWidget *>(Edit2), static_cast<QWidget *>(Edit3),
                       static_cast<QWidget *>(Edit4), static_cast<QWidget *>(TrackBar1), static_cast<QWidget *>(Memo1),
                       static_cast<QWidget *>(Button2), static_cast<QWidget *>(Button1)})
        w->setFocusPolicy(Qt::StrongFocus);
    QWidget::setTabOrder(Edit1, Edit2);
    QWidget::setTabOrder(Edit2, Edit3);
    QWidget::setTabOrder(Edit3, Edit4);
    QWidget::setTabOrder(Edit4, TrackBar1);
    QWidget::setTabOrder(TrackBar1, Memo1);
    QWidget::setTabOrder(Memo1, Button2);
    QWidget::setTabOrder(Button2, Button1);

    Label1->setBuddy(Edit1);
    Label2->setBuddy(Edit2);
    Label3->setBuddy(Edit3);
    Label4->setBuddy(Edit4);
    Label5->setBuddy(TrackBar1);
    FeldNameSetzen(Edit1, QStringLiteral("Dateiname"));
    FeldNameSetzen(Edit2, QStringLiteral("Dateigröße"));
    FeldNameSetzen(Edit3, QStringLiteral("MP3-Dauer"));
    FeldNameSetzen(Edit4, QStringLiteral("MP3-Position"));
    FeldNameSetzen(TrackBar1, QStringLiteral("Lautstärke"));

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    setStatusBar(StatusBar1);
    auto panel = [this](const char *name, int stretch) {
        auto *l = new TStatusPanel(StatusBar1);
        l->setObjectName(QLatin1String(name));
        l->setFocusPolicy(Qt::NoFocus);
        StatusBar1->addWidget(l, stretch);
        return l;
    };
    StatusPanel1 = panel("StatusPanel1", 0);
    StatusPanel2 = panel("StatusPanel2", 0);
    StatusPanel3 = panel("StatusPanel3", 1);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
    TimerSendTo = new QTimer(this);
    TimerSendTo->setObjectName(QStringLiteral("TimerSendTo"));
    TimerSendTo->setInterval(5);
    connect(TimerSendTo, &QTimer::timeout, this, &TForm1::TimerSendToTimer);
}

QAction *TForm1::MenuPunkt(QMenu *menu, const char *name, const QString &caption, const QKeySequence &shortcut)
{
    auto *a = menu->addAction(caption);
    a->setObjectName(QLatin1String(name));
    a->setShortcut(shortcut);
    a->setProperty("Tag", 0);
    return a;
}

void TForm1::MenuesErstellen()
{
    auto menu = [this](QMenu *oben, const char *name, const QString &caption) {
        QMenu *m = oben ? oben->addMenu(caption) : menuBar()->addMenu(caption);
        m->setObjectName(QLatin1String(name));
        m->menuAction()->setObjectName(QLatin1String(name) + QStringLiteral("Item"));
        return m;
    };
    menuBar()->setObjectName(QStringLiteral("MainMenu1"));

    MenuDatei = menu(nullptr, "MenuDatei", QStringLiteral("&Datei"));
    MenuDateiOpen = MenuPunkt(MenuDatei, "MenuDateiOpen", QStringLiteral("Ö&ffnen..."), Qt::CTRL | Qt::Key_O);
    MenuDateiClose = MenuPunkt(MenuDatei, "MenuDateiClose", QStringLiteral("S&chließen"), Qt::CTRL | Qt::Key_F4);
    MenuDatei->addSeparator();
    MenuDateiBeenden = MenuPunkt(MenuDatei, "MenuDateiBeenden", QStringLiteral("&Beenden"), Qt::ALT | Qt::Key_F4);
    connect(MenuDatei, &QMenu::aboutToShow, this, [this] { MenuDateiClose->setEnabled(!FFilename.isEmpty()); });
    connect(MenuDateiOpen, &QAction::triggered, this, [this] { MenuDateiOpenClick(true); });
    connect(MenuDateiClose, &QAction::triggered, this, &TForm1::MenuDateiCloseClick);
    connect(MenuDateiBeenden, &QAction::triggered, this, &TForm1::MenuDateiBeendenClick);

    MenuAkt = menu(nullptr, "MenuAkt", QStringLiteral("A&ktionen"));
    MenuAktTeilen = MenuPunkt(MenuAkt, "MenuAktTeilen", QStringLiteral("&Teilen..."), Qt::CTRL | Qt::Key_T);
    MenuAktZusammenfuegen =
        MenuPunkt(MenuAkt, "MenuAktZusammenfuegen", QStringLiteral("Zusammenfügen..."), Qt::CTRL | Qt::Key_Z);
    MenuAkt->addSeparator();
    MenuAktMarkeSetzen =
        MenuPunkt(MenuAkt, "MenuAktMarkeSetzen", QStringLiteral("&Marke setzen"), Qt::CTRL | Qt::Key_M);
    MenuAktMarkenBearbeiten =
        MenuPunkt(MenuAkt, "MenuAktMarkenBearbeiten", QStringLiteral("Marken &bearbeiten..."), Qt::CTRL | Qt::Key_B);
    MenuAkt->addSeparator();
    MenuAktMp3Infos = MenuAkt->addMenu(QStringLiteral("MP3-&Informationen ändern"));
    MenuAktMp3Infos->setObjectName(QStringLiteral("MenuAktMp3InfosMenu"));
    MenuAktMp3InfosAction = MenuAktMp3Infos->menuAction();
    MenuAktMp3InfosAction->setObjectName(QStringLiteral("MenuAktMp3Infos"));
    MenuAktMp3InfosDatei = MenuPunkt(MenuAktMp3Infos, "MenuAktMp3InfosDatei",
                                     QStringLiteral("Von geöffneter Date&i..."), Qt::CTRL | Qt::Key_I);
    MenuAktMp3InfosMehrere = MenuPunkt(MenuAktMp3Infos, "MenuAktMp3InfosMehrere",
                                       QStringLiteral("Von zerteilten &Dateien..."), Qt::CTRL | Qt::Key_D);
    MenuAktMp3InfosMehrere->setProperty("Tag", 1);
    connect(MenuAkt, &QMenu::aboutToShow, this, &TForm1::MenuAktClick);
    // A shortcut runs the menu's enabling first (Mp3InfosEingeben), as if the menu had opened;
    // closed, the items stay enabled so that their shortcuts reach it.
    connect(MenuAkt, &QMenu::aboutToHide, this, [this] {
        for (QAction *a : {MenuAktMp3InfosAction, MenuAktMp3InfosDatei, MenuAktMp3InfosMehrere})
            a->setEnabled(true);
    });
    connect(MenuAktTeilen, &QAction::triggered, this, &TForm1::MenuAktTeilenClick);
    connect(MenuAktZusammenfuegen, &QAction::triggered, this, &TForm1::MenuAktZusammenfuegenClick);
    connect(MenuAktMarkeSetzen, &QAction::triggered, this, &TForm1::MenuAktMarkeSetzenClick);
    connect(MenuAktMarkenBearbeiten, &QAction::triggered, this, &TForm1::MenuAktMarkenBearbeitenClick);
    connect(MenuAktMp3InfosDatei, &QAction::triggered, this, &TForm1::MenuAktMp3InfosDateiClick);
    connect(MenuAktMp3InfosMehrere, &QAction::triggered, this, &TForm1::MenuAktMp3InfosMehrereClick);

    MenuPlay = menu(nullptr, "MenuPlay", QStringLiteral("&Wiedergabesteuerung"));
    MenuPlayPause = MenuPunkt(MenuPlay, "MenuPlayPause", QStringLiteral("Wiedergabe/Pause"), Qt::CTRL | Qt::Key_W);
    MenuPlayStop = MenuPunkt(MenuPlay, "MenuPlayStop", QStringLiteral("Stop"), Qt::CTRL | Qt::Key_S);
    MenuPlay->addSeparator();
    MenuPlayVor = MenuPunkt(MenuPlay, "MenuPlayVor", QStringLiteral("Vorspulen"), Qt::CTRL | Qt::Key_Right);
    MenuPlayRueck = MenuPunkt(MenuPlay, "MenuPlayRueck", QStringLiteral("Rückspulen"), Qt::CTRL | Qt::Key_Left);
    MenuPlay->addSeparator();
    MenuPlayLauter = MenuPunkt(MenuPlay, "MenuPlayLauter", QStringLiteral("Lauter"), Qt::CTRL | Qt::Key_Up);
    MenuPlayLauter->setProperty("Tag", 1);
    MenuPlayLeiser = MenuPunkt(MenuPlay, "MenuPlayLeiser", QStringLiteral("Leiser"), Qt::CTRL | Qt::Key_Down);
    MenuPlayLeiser->setProperty("Tag", 2);
    MenuPlay->addSeparator();
    MenuPlayGehe = MenuPunkt(MenuPlay, "MenuPlayGehe", QStringLiteral("Gehe zu Minute..."), Qt::CTRL | Qt::Key_G);
    MenuPlayGeheMarke =
        MenuPunkt(MenuPlay, "MenuPlayGeheMarke", QStringLiteral("Gehe zu Mar&ke..."), Qt::CTRL | Qt::Key_K);
    connect(MenuPlayPause, &QAction::triggered, this, &TForm1::MenuPlayPauseClick);
    connect(MenuPlayStop, &QAction::triggered, this, &TForm1::MenuPlayStopClick);
    connect(MenuPlayVor, &QAction::triggered, this, &TForm1::MenuPlayVorClick);
    connect(MenuPlayRueck, &QAction::triggered, this, &TForm1::MenuPlayRueckClick);
    connect(MenuPlayLauter, &QAction::triggered, this, [this] { MenuPlayLauterClick(1); });
    connect(MenuPlayLeiser, &QAction::triggered, this, [this] { MenuPlayLauterClick(2); });
    connect(MenuPlayGehe, &QAction::triggered, this, &TForm1::MenuPlayGeheClick);
    connect(MenuPlayGeheMarke, &QAction::triggered, this, &TForm1::MenuPlayGeheMarkeClick);

    MenuAns = menu(nullptr, "MenuAns", QStringLiteral("&Ansicht"));
    MenuAnsSchriftart = MenuPunkt(MenuAns, "MenuAnsSchriftart", QStringLiteral("&Schriftart..."));
    MenuAnsHintergrund = MenuPunkt(MenuAns, "MenuAnsHintergrund", QStringLiteral("Schrift&hintergrund..."));
    connect(MenuAnsSchriftart, &QAction::triggered, this, &TForm1::MenuAnsSchriftartClick);
    connect(MenuAnsHintergrund, &QAction::triggered, this, &TForm1::MenuAnsHintergrundClick);

    MenuEinst = menu(nullptr, "MenuEinst", QStringLiteral("&Einstellungen"));
    auto *modi = new QActionGroup(this);
    int tag = 0;
    for (QAction **a : {&MenuEinstBytes, &MenuEinstMinuten, &MenuEinstSekunden, &MenuEinstMarken}) {
        static const char *const namen[] = {"MenuEinstBytes", "MenuEinstMinuten", "MenuEinstSekunden",
                                            "MenuEinstMarken"};
        static const char *const texte[] = {"Teile in K&Bytes", "Teile in &Minuten", "Teile in &Sekunden",
                                            "Teile bei Mar&ken"};
        *a = MenuPunkt(MenuEinst, namen[tag], QString::fromUtf8(texte[tag]));
        (*a)->setCheckable(true);
        (*a)->setProperty("Tag", ++tag);
        modi->addAction(*a);
        connect(*a, &QAction::triggered, this, [this, tag] { setModus(tag); });
    }
    MenuEinst->addSeparator();
    MenuEinstSpulschritte = MenuPunkt(MenuEinst, "MenuEinstSpulschritte", QStringLiteral("Vor-/Rückspulschritte..."));
    connect(MenuEinstSpulschritte, &QAction::triggered, this, &TForm1::MenuEinstSpulschritteClick);

    MenuHilfe = menu(nullptr, "MenuHilfe", QStringLiteral("&Hilfe"));
    MenuHilfeInfo = MenuPunkt(MenuHilfe, "MenuHilfeInfo", QStringLiteral("Programm-&Info"));
    MenuHilfeHomepage = MenuPunkt(MenuHilfe, "MenuHilfeHomepage", QStringLiteral("Programm-Home&page..."));
    MenuHilfeUpdate = MenuPunkt(MenuHilfe, "MenuHilfeUpdate", QStringLiteral("Programm-&Aktualisierung..."));
    MenuHilfeAenderungen = MenuPunkt(MenuHilfe, "MenuHilfeAenderungen", QStringLiteral("Programm-&Änderungen..."));
    MenuHilfe->addSeparator();
    MenuHilfeMail = MenuPunkt(MenuHilfe, "MenuHilfeMail", QStringLiteral("&Mail an den Programmierer..."));
    MenuHilfeSpenden = MenuPunkt(MenuHilfe, "MenuHilfeSpenden", QStringLiteral("&Spenden..."));
    connect(MenuHilfe, &QMenu::aboutToShow, this, &TForm1::MenuHilfeClick);
    connect(MenuHilfeInfo, &QAction::triggered, this, &TForm1::MenuHilfeInfoClick);
    connect(MenuHilfeHomepage, &QAction::triggered, this, &TForm1::MenuHilfeHomepageClick);
    connect(MenuHilfeUpdate, &QAction::triggered, this, &TForm1::MenuHilfeUpdateClick);
    connect(MenuHilfeAenderungen, &QAction::triggered, this, &TForm1::MenuHilfeAenderungenClick);
    connect(MenuHilfeMail, &QAction::triggered, this, &TForm1::MenuHilfeMailClick);
    connect(MenuHilfeSpenden, &QAction::triggered, this, &TForm1::MenuHilfeSpendenClick);
    MenuHilfeClick();

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PuKopieren = MenuPunkt(PopupMenu1, "PuKopieren", QStringLiteral("&Kopieren"), Qt::CTRL | Qt::Key_C);
    PuAllesMarkieren =
        MenuPunkt(PopupMenu1, "PuAllesMarkieren", QStringLiteral("&Alles markieren"), Qt::CTRL | Qt::Key_A);
    // The fields handle these keys themselves; in the pop-up menu they only show.
    PuKopieren->setShortcutContext(Qt::WidgetShortcut);
    PuAllesMarkieren->setShortcutContext(Qt::WidgetShortcut);
    connect(PopupMenu1, &QMenu::aboutToShow, this, &TForm1::PopupMenu1Popup);
    connect(PuKopieren, &QAction::triggered, this, [this] {
        if (auto *e = qobject_cast<QLineEdit *>(focusWidget()))
            e->copy();
        else if (auto *m = qobject_cast<QPlainTextEdit *>(focusWidget()))
            m->copy();
    });
    connect(PuAllesMarkieren, &QAction::triggered, this, [this] {
        if (auto *e = qobject_cast<QLineEdit *>(focusWidget()))
            e->selectAll();
        else if (auto *m = qobject_cast<QPlainTextEdit *>(focusWidget()))
            m->selectAll();
    });
    for (QWidget *w : {static_cast<QWidget *>(Edit1), static_cast<QWidget *>(Edit2), static_cast<QWidget *>(Edit3),
                       static_cast<QWidget *>(Edit4), static_cast<QWidget *>(Memo1)}) {
        connect(w, &QWidget::customContextMenuRequested, this, [this, w](const QPoint &p) {
            w->setFocus(Qt::PopupFocusReason);
            PopupMenu1->exec(w->mapToGlobal(p));
        });
    }
}

void TForm1::PopupMenu1Popup()
{
    bool auswahl = false;
    bool text = false;
    if (auto *e = qobject_cast<QLineEdit *>(focusWidget())) {
        auswahl = e->hasSelectedText();
        text = !e->text().isEmpty();
    } else if (auto *m = qobject_cast<QPlainTextEdit *>(focusWidget())) {
        auswahl = m->textCursor().hasSelection();
        text = !m->document()->isEmpty();
    }
    PuKopieren->setEnabled(auswahl);
    PuAllesMarkieren->setEnabled(text);
}

void TForm1::CaptionZuweisen()
{
    Label1->setText(QStringLiteral("Datei&name:"));
    Label2->setText(QStringLiteral("Datei&größe:"));
    Label3->setText(QStringLiteral("MP&3-Dauer:"));
    Label4->setText(QStringLiteral("MP3-&Position:"));
    Label5->setText(QStringLiteral("&Lautstärke:"));
    Button2->setText(QStringLiteral("&Marke setzen"));
    Button1->setText(QStringLiteral("&Teilen..."));
    MemoZuruecksetzen();
}

void TForm1::SchriftartZuweisen()
{
    SchriftartAnwenden(this);
    SchalterEinrichten();
}

void TForm1::SchalterEinrichten()
{
    const QFont &font = ProgrammAussehen().Schrift;
    const int knopfBreite = KnopfBreite({Button1, Button2});
    const int knopfHoehe = SchriftHoehe(Button1->font(), TSchalterArt::Button);
    StatusBar1->setFixedHeight(SchriftHoehe(font, TSchalterArt::StatusBar));
    const int editHoehe = SchriftHoehe(font, TSchalterArt::Edit);
    const int clientBreite = centralWidget()->width();
    const int clientHoehe = centralWidget()->height();

    int w = 0;
    for (QLabel *l : {Label1, Label2, Label3, Label4, Label5}) {
        l->adjustSize();
        w = std::max(w, l->width());
    }
    for (QLineEdit *e : {Edit1, Edit2, Edit3, Edit4})
        e->setFixedHeight(editHoehe);
    Edit1->move(0, 10);
    Edit2->move(0, 2 * Edit1->y() + Edit1->height());
    Edit3->move(0, Edit1->y() + Edit2->y() + Edit2->height());
    const int progressOben = Edit1->y() + Edit3->y() + Edit3->height();
    const int progressHoehe = 2 * Edit3->height();
    const int links = Edit1->y() + w + 5;
    const int edit1Breite = clientBreite - links - 10;
    Edit1->setGeometry(links, Edit1->y(), edit1Breite, editHoehe);
    Edit2->setGeometry(links, Edit2->y(), edit1Breite / 2, editHoehe);
    Edit3->setGeometry(links, Edit3->y(), edit1Breite / 2, editHoehe);
    Edit4->setGeometry(links, MittigOben(progressOben, progressHoehe, editHoehe), edit1Breite / 2, editHoehe);
    const int progressLinks = Edit4->x() + Edit4->width() + 5;
    ProgressBar1->setGeometry(progressLinks, progressOben, clientBreite - progressLinks - 10, progressHoehe);
    TrackBar1->setGeometry(links, progressOben + progressHoehe + 10, edit1Breite, progressHoehe);

    const QList<QPair<QLabel *, QWidget *>> paare{
        {Label1, Edit1}, {Label2, Edit2}, {Label3, Edit3}, {Label4, Edit4}, {Label5, TrackBar1}};
    for (const auto &[l, feld] : paare)
        l->move(Edit1->y(), MittigOben(feld->y(), feld->height(), l->height()));

    // The status bar lies below the client area: its top is the client's height.
    const int knopfOben = clientHoehe - knopfHoehe - 10;
    const int knopfLinks = (clientBreite - 2 * knopfBreite) / 3;
    Button2->setGeometry(knopfLinks, knopfOben, knopfBreite, knopfHoehe);
    Button1->setGeometry(2 * knopfLinks + knopfBreite, knopfOben, knopfBreite, knopfHoehe);

    const int memoOben = TrackBar1->y() + TrackBar1->height() + 10;
    Memo1->setGeometry(30, memoOben, clientBreite - 60, std::max(0, knopfOben - memoOben - 10));

    // The bar spans the window; panel 3 takes the rest.
    const int bar = width();
    StatusPanel1->setFixedWidth(bar * 21 / 100);
    StatusPanel2->setFixedWidth(bar * 20 / 100);
}

void TForm1::FensterEinrichten()
{
    // The window always fills the work area.
    const QRect bereich = Arbeitsbereich(this);
    if (bereich.isEmpty())
        return;
    const QSize rahmen = frameGeometry().size() - size();
    const QSize ziel = bereich.size() - rahmen;
    if (size() != ziel)
        setFixedSize(ziel);
    if (pos() != bereich.topLeft())
        move(bereich.topLeft());
}

void TForm1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!FErstesZeigen)
        return;
    FErstesZeigen = false;
    TrackSetzen();
    setStatusMarken(FMarken.size());
    Oeffnungshinweis();
    RegistryLadenSpeichern(true);
    FensterEinrichten();
    if (!FParameters.isEmpty())
        TimerSendTo->start();
}

void TForm1::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    if (isVisible() && !IsClosing)
        FensterEinrichten();
}

void TForm1::closeEvent(QCloseEvent *event)
{
    RegistryLadenSpeichern(false);
    IsClosing = true;
    Timer1->stop();
    TimerSendTo->stop();
    event->accept();
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == centralWidget()) {
        if (event->type() == QEvent::Resize && !IsClosing)
            SchalterEinrichten();
        return false;
    }
    return StellenPruefen(watched, event);
}

bool TForm1::StellenPruefen(QObject *watched, QEvent *event)
{
    const QList<QLineEdit *> felder{Edit1, Edit2, Edit3, Edit4};
    auto *feld = qobject_cast<QLineEdit *>(watched);
    const bool istFeld = feld && felder.contains(feld);
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        // The menu shortcuts win over the fields' own keys (Ctrl+Left moves by word otherwise).
        auto *k = static_cast<QKeyEvent *>(event);
        const QKeySequence taste(k->keyCombination());
        for (QAction *a : menuBar()->findChildren<QAction *>()) {
            if (!a->shortcut().isEmpty() && a->shortcut() == taste)
                return true;
        }
        return false;
    }
    case QEvent::KeyPress: {
        auto *k = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers mods = k->modifiers() & ~Qt::KeypadModifier;
        if (mods != Qt::NoModifier)
            return false;
        if (k->key() == Qt::Key_Space) {
            MenuPlayPauseClick();
            return true;
        }
        if (!istFeld)
            return false;
        const int nr = felder.indexOf(feld);
        if (k->key() == Qt::Key_Down) {
            if (nr == 3)
                Piepsen();
            else
                felder[nr + 1]->setFocus(Qt::TabFocusReason);
            return true;
        }
        if (k->key() == Qt::Key_Up) {
            if (nr == 0)
                Piepsen();
            else
                felder[nr - 1]->setFocus(Qt::BacktabFocusReason);
            return true;
        }
        if (nr == 0 && (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter)) {
            MenuDateiOpenClick(true);
            return true;
        }
        return false;
    }
    case QEvent::MouseButtonRelease:
        if (watched == Edit1 && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton &&
            Edit1->rect().contains(static_cast<QMouseEvent *>(event)->position().toPoint())) {
            // Let the click finish before the dialog takes over.
            QTimer::singleShot(0, this, [this] { MenuDateiOpenClick(true); });
        }
        return false;
    case QEvent::FocusIn:
        // Only from within the window: back from the pop-up menu or with the window the
        // reader keeps the place (and the selection "Kopieren" copies).
        if (watched == Memo1 && static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason &&
            static_cast<QFocusEvent *>(event)->reason() != Qt::ActiveWindowFocusReason) {
            QTextCursor c = Memo1->textCursor();
            c.movePosition(QTextCursor::Start);
            Memo1->setTextCursor(c);
        }
        return false;
    default:
        return false;
    }
}

void TForm1::captionSetzen(const QString &fileName)
{
    const QString name = fileName.isEmpty() ? QStringLiteral("NoName") : fileName;
    const QString caption = QStringLiteral("%1 - %2").arg(name, QLatin1String(ProgrammTitel));
    setWindowTitle(caption);
    AnwendungsTitelSetzen(caption);
    // A second start finds this copy by the caption it reports.
    CaptionMelden(caption);
}

void TForm1::DateiBefehleFreigeben(bool an)
{
    for (QAction *a : {MenuAktMarkeSetzen, MenuAktMarkenBearbeiten, MenuAktTeilen})
        a->setEnabled(an);
    Button2->setEnabled(an);
    Button1->setEnabled(an);
    MenuDateiClose->setEnabled(!FFilename.isEmpty());
}

QString TForm1::Tastenkuerzel(const QAction *punkt)
{
    return punkt->shortcut().toString(QKeySequence::NativeText);
}

void TForm1::Oeffnungshinweis()
{
    setStatusText(QStringLiteral("%1=MP3-Datei öffnen").arg(Tastenkuerzel(MenuDateiOpen)));
}

namespace {

// Why `name` could not be opened, in the user's words; `kopiert`: the working copy was written.
QString OeffnungsGrund(const QString &name, bool kopiert)
{
    const QFileInfo info(name);
    if (info.isDir())
        return QStringLiteral("Der Name ist ein Ordner, keine Datei.");
    if (!info.exists())
        return QStringLiteral("Die Datei gibt es nicht.");
    if (!info.isFile())
        return QStringLiteral("Der Name ist keine gewöhnliche Datei.");
    if (info.size() == 0)
        return QStringLiteral("Die Datei ist leer.");
    QFile datei(name);
    if (!datei.open(QIODevice::ReadOnly))
        return QStringLiteral("Die Datei konnte nicht gelesen werden.");
    if (!kopiert)
        return QStringLiteral("Die Arbeitskopie im temporären Ordner konnte nicht geschrieben werden.");
    return QStringLiteral("Die Datei enthält keine MPEG-Audiodaten.");
}

} // namespace

void TForm1::OeffnungsFehler(const QString &grund)
{
    FFehlerS = true;
    Timer1->stop();
    MeldungZeigen(QStringLiteral("Fehler beim Öffnen der Datei!\n%1").arg(grund), TMeldungArt::Fehler,
                  TMeldungKnoepfe::Ok, this);
}

void TForm1::setOriFilename(const QString &name)
{
    FMarken.clear();
    FSplitDateien.clear();
    FFehlerS = false;
    setStatusMarken(0);
    if (name.isEmpty()) {
        FPlayer->Close();
        FFilename.clear();
        for (QLineEdit *e : {Edit1, Edit2, Edit3, Edit4})
            e->setText(KeineAngabe);
        FId3v1->Clear();
        FId3v2->Clear();
        ProgressBar1->setValue(0);
        Timer1->stop();
        Oeffnungshinweis();
        DateiBefehleFreigeben(false);
        for (QAction *a : MenuPlay->actions())
            a->setEnabled(a == MenuPlayLauter || a == MenuPlayLeiser || a->isSeparator());
        captionSetzen(QString());
        return;
    }

    FPlayer->Close();
    // A folder, a pipe or a device is no file to open; reading a pipe would wait for ever.
    const QFileInfo info(name);
    if (!info.isFile()) {
        OeffnungsFehler(OeffnungsGrund(name, false));
        return;
    }
    FId3v1->ReadFromFile(name);
    FId3v2->ReadFromFile(name);
    TGeoeffneteKopie kopie;
    if (!FTmpFilename.isEmpty()) {
        TSanduhr sanduhr;
        kopie = ArbeitskopieOeffnen(name, FTmpFilename);
    }
    if (!kopie.kopiert) {
        OeffnungsFehler(OeffnungsGrund(name, false));
        return;
    }
    try {
        FPlayer->Close();
        FPlayer->setFileName(FTmpFilename);
        FPlayer->setNotify(true);
        FPlayer->Open(std::move(kopie.decoder));
        FPlayer->setTimeFormat(TMPTimeFormats::tfMilliseconds);
        FFilename = name;
        Timer1Timer();
        Edit1->setText(name);
        Edit2->setText(QStringLiteral("%1 Bytes").arg(Tausenderpunkte(Mp3Size())));
        Edit3->setText(Mp3StrDauer());
        for (QLineEdit *e : {Edit1, Edit2, Edit3})
            e->setCursorPosition(0);
    } catch (const EMCIDeviceError &) {
        OeffnungsFehler(OeffnungsGrund(name, true));
    } catch (const std::exception &) {
        OeffnungsFehler(OeffnungsGrund(name, true));
    }
    if (FFehlerS)
        return;
    DateiBefehleFreigeben(true);
    for (QAction *a : MenuPlay->actions())
        a->setEnabled(true);
    captionSetzen(info.fileName());
}

void TForm1::setModus(int modus)
{
    Edit1->setFocus(Qt::OtherFocusReason);
    FModus = (modus >= 1 && modus <= 3) ? modus : 4;
    static const char *const worte[] = {"Bytes", "Minuten", "Sekunden", "Marken"};
    static QAction *TForm1::*const punkte[] = {&TForm1::MenuEinstBytes, &TForm1::MenuEinstMinuten,
                                               &TForm1::MenuEinstSekunden, &TForm1::MenuEinstMarken};
    (this->*punkte[FModus - 1])->setChecked(true);
    StatusPanel1->setText(QStringLiteral("Modus: %1").arg(QLatin1String(worte[FModus - 1])));
    SchalterEinrichten();
}

QString TForm1::StatusText() const
{
    return StatusPanel3->text();
}

void TForm1::setStatusText(const QString &text)
{
    StatusPanel3->setText(text);
}

void TForm1::setMemoText(const QString &text)
{
    FMemoText = text;
    Memo1->setFocus(Qt::OtherFocusReason);
    Memo1->appendPlainText(text);
    // The caret at the start of the new line, so a screen reader reads it.
    QTextCursor c = Memo1->textCursor();
    c.movePosition(QTextCursor::End);
    c.movePosition(QTextCursor::StartOfBlock);
    Memo1->setTextCursor(c);
}

void TForm1::MemoZuruecksetzen()
{
    Memo1->setPlainText(MemoKopfzeile);
    QTextCursor c = Memo1->textCursor();
    c.movePosition(QTextCursor::Start);
    Memo1->setTextCursor(c);
}

void TForm1::setStatusMarken(int anzahl)
{
    StatusPanel2->setText(QStringLiteral("Marken: %1").arg(anzahl));
}

void TForm1::setVorRueckSekunden(int sekunden)
{
    FVorRueckSekunden = std::clamp(sekunden, 1, 60);
}

int TForm1::HintergrundNr() const
{
    return FHintergrundForm->HintergrundNr();
}

void TForm1::setHintergrundNr(int nr)
{
    FHintergrundForm->setHintergrundNr(nr);
    ProgrammAussehen().Hintergrund = FHintergrundForm->HintergrundFarbe();
    SchriftartZuweisen();
}

void TForm1::setInitialDirStr(const QString &folder)
{
    FInitialDir = StartOrdner(folder);
}

qint64 TForm1::Mp3Size() const
{
    return std::max<qint64>(0, DateiGroesse(FTmpFilename));
}

qint64 TForm1::Mp3Sekunden() const
{
    return FPlayer->Length() / 1000;
}

QString TForm1::Mp3StrDauer() const
{
    return ZeitText(FPlayer->Length(), 3);
}

QString TForm1::NeueDatei(int Nr) const
{
    return ::NeueDatei(FFilename, Nr);
}

void TForm1::WiedergabePausieren()
{
    if (!FPlayer->FileName().isEmpty() && FPlayer->Mode() == TMPModes::mpPlaying)
        FPlayer->Pause();
}

void TForm1::SetFocus(int Nr)
{
    switch (Nr) {
    case 1:
        Edit1->setFocus(Qt::OtherFocusReason);
        break;
    case 2:
        Edit2->setFocus(Qt::OtherFocusReason);
        break;
    case 3:
        Edit3->setFocus(Qt::OtherFocusReason);
        break;
    case 4:
        Edit4->setFocus(Qt::OtherFocusReason);
        break;
    default:
        Memo1->setFocus(Qt::OtherFocusReason);
        break;
    }
}

// ---- Opening and closing

void TForm1::MenuDateiOpenClick(bool mitSender)
{
    WiedergabePausieren();
    MerkActiveControl = focusWidget();
    QString datei;
    if (mitSender) {
        QFileDialog dialog(this, QStringLiteral("Öffnen"), FInitialDir, OeffnenFilter);
        dialog.setObjectName(QStringLiteral("OpenDialog1"));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setDefaultSuffix(QStringLiteral("MP3"));
        FIsDialogOpen = true;
        const bool ok = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
        FIsDialogOpen = false;
        if (ok)
            datei = dialog.selectedFiles().constFirst();
    } else {
        // The first handed-over name that is a file; the others are dropped with it. A folder
        // is no file either and leaves the open file as it is.
        for (const QString &p : std::as_const(FParameters)) {
            const QFileInfo info(p);
            if (info.isFile()) {
                datei = info.absoluteFilePath();
                FParameters.clear();
                break;
            }
        }
    }
    if (!datei.isEmpty()) {
        setInitialDirStr(QFileInfo(datei).absolutePath());
        Edit1->setCursorPosition(0);
        setOriFilename(datei);
        if (FFehlerS) {
            setOriFilename(QString());
        } else {
            MemoZuruecksetzen();
            if (Mp3Sekunden() > 0) {
                setStatusText(QStringLiteral("%1=Teilen; %2=Marke setzen; %3=MP3-Informationen")
                                  .arg(Tastenkuerzel(MenuAktTeilen), Tastenkuerzel(MenuAktMarkeSetzen),
                                       Tastenkuerzel(MenuAktMp3InfosDatei)));
            } else {
                Piepsen();
                setMemoText(QStringLiteral("Datei hat weniger als 1 Sekunde dauer!"));
                DateiBefehleFreigeben(false);
            }
        }
    }
    SetActiveControl(MerkActiveControl);
    Edit1->setFocus(Qt::OtherFocusReason);
}

void TForm1::MenuDateiCloseClick()
{
    setOriFilename(QString());
    setStatusMarken(FMarken.size());
    Edit1->setFocus(Qt::OtherFocusReason);
}

void TForm1::MenuDateiBeendenClick()
{
    close();
}

// ---- Commands that the splitting, marks, joining and tag windows fill in

void TForm1::Button1Click()
{
    if (TBefehlsSperre::Gesperrt(this) || FFilename.isEmpty())
        return;
    WiedergabePausieren();
    Memo1->setFocus(Qt::OtherFocusReason);
    if (FModus == ModusMarken) {
        if (MarkenAnzeigenOk(false))
            MarkenTeilenStarten();
        return;
    }
    Bytes = BytesEinlesen();
    TeilenStarten();
}

qint64 TForm1::Mp3SekundenMpi() const
{
    return ::Mp3SekundenMpi(FTmpFilename, [this] { return Mp3Sekunden(); });
}

QString TForm1::MaxStrBytes() const
{
    return Tausenderpunkte(MaxNr(FModus, Mp3Size(), Mp3SekundenMpi()));
}

qint64 TForm1::BytesEinlesen()
{
    static const char *const captions[] = {"KBytes eingeben", "Minuten eingeben", "Sekunden eingeben"};
    static const char *const labels[] = {
        "Dateigröße in KBytes eingeben (Max. %1):", "Dateigröße in Minuten eingeben (Max. %1):",
        "Dateigröße in Sekunden eingeben (Max. %1):"};
    const int nr = std::clamp(FModus, 1, 3) - 1;
    const qint64 sekunden = Mp3SekundenMpi();
    TFensterReporter report(this);
    const qint64 maxNr = TeilGrenzePruefen(FModus, Mp3Size(), sekunden, report);
    if (maxNr <= 0)
        return 0;
    LastMinNr = LastMinNr <= 0 ? 1 : int(std::min<qint64>(LastMinNr, maxNr));
    FBytesForm->Vorbereiten(QString::fromUtf8(captions[nr]), QString::fromUtf8(labels[nr]).arg(Tausenderpunkte(maxNr)),
                            1, int(std::min<qint64>(maxNr, INT_MAX)), LastMinNr, QStringLiteral("Teilen &starten"));
    FBytesForm->VorspannS = true;
    if (FBytesForm->exec() != QDialog::Accepted)
        return 0;
    const int n = FBytesForm->Bytes();
    if (n <= 0)
        return 0;
    const TTeilPlan plan = TeilPlanen(FModus, n, FBytesForm->GetVorspann(), Mp3Size(), sekunden);
    if (plan.Bytes <= 0)
        return 0;
    Vorspann = plan.Vorspann;
    LastMinNr = FBytesForm->UpDown1->Position();
    return plan.Bytes;
}

TTeilAuftrag TForm1::Teilauftrag() const
{
    return {FTmpFilename, FFilename, Mp3Size()};
}

TFensterReporter TForm1::MemoReporter()
{
    return TFensterReporter(
        this, [this](const QString &zeile) { setMemoText(zeile); }, [this] { MemoZuruecksetzen(); });
}

void TForm1::NachDemTeilen(const QStringList &teile)
{
    FSplitDateien = teile;
    setStatusText(QStringLiteral("%1=MP3-Datei öffnen; %2=MP3-Informationen zerteilter Dateien")
                      .arg(Tastenkuerzel(MenuDateiOpen), Tastenkuerzel(MenuAktMp3InfosMehrere)));
}

void TForm1::TeilenStarten()
{
    if (Bytes <= 0)
        return;
    TSanduhr sanduhr;
    TBefehlsSperre sperre(this);
    TFensterReporter report = MemoReporter();
    NachDemTeilen(::TeilenStarten(Teilauftrag(), FModus, Bytes, Vorspann, report).SplitDateien);
}

void TForm1::MarkenTeilenStarten()
{
    TSanduhr sanduhr;
    TBefehlsSperre sperre(this);
    TFensterReporter report = MemoReporter();
    NachDemTeilen(::MarkenTeilenStarten(Teilauftrag(), FPlayer->Length(), FMarken, report).SplitDateien);
}

void TForm1::MenuAktMarkeSetzenClick()
{
    if (TBefehlsSperre::Gesperrt(this) || FFilename.isEmpty())
        return;
    WiedergabePausieren();
    TFensterReporter report(this);
    if (MarkeSetzen(FMarken, FPlayer->Position(), FPlayer->Length(), report))
        setStatusMarken(FMarken.size());
}

void TForm1::MenuAktMarkenBearbeitenClick()
{
    if (TBefehlsSperre::Gesperrt(this) || FFilename.isEmpty())
        return;
    MarkenAnzeigenOk(true);
}

void TForm1::MarkenUmwandeln(bool StrPosS)
{
    ::MarkenUmwandeln(FMarken, StrPosS);
}

bool TForm1::MarkenAnzeigenOk(bool AOkS)
{
    if (!FMarkenForm)
        return false;
    WiedergabePausieren();
    MarkenUmwandeln(true);
    FMarkenForm->setWindowTitle(AOkS ? QStringLiteral("Marken bearbeiten")
                                     : QStringLiteral("Marken bearbeiten und teilen starten"));
    FMarkenForm->OkS = AOkS;
    FMarkenForm->Button1->setText(AOkS ? QStringLiteral("O&K") : QStringLiteral("Teilen &starten"));
    FMarkenForm->MaxLength = FPlayer->Length();
    FMarkenForm->MaxSize = Mp3Size();
    FMarkenForm->OriFilename = FTmpFilename;
    FMarkenForm->VorRueckSekunden = FVorRueckSekunden;
    FMarkenForm->PlusVolume = int(std::trunc(TrackBar1->pageStep() * 655.35L)) + 1;
    FMarkenForm->Marken = FMarken;
    const bool ok = FMarkenForm->exec() == QDialog::Accepted;
    if (ok) {
        FMarken = FMarkenForm->Marken;
        setStatusMarken(FMarken.size());
    }
    TrackSetzen();
    MarkenUmwandeln(false);
    return ok;
}

void TForm1::MarkenDialogeErstellen()
{
    // The marks editor reserves its own playback file beside the working copy.
    try {
        FMarkenForm = std::make_unique<TMarkenForm>(this);
    } catch (const EFileError &e) {
        // Without a working copy nothing opens and the start has said so already.
        if (!FTmpFilename.isEmpty())
            MeldungZeigen(QString::fromUtf8(e.what()) +
                              QStringLiteral("\nOhne diese Datei können die Marken nicht bearbeitet werden."),
                          TMeldungArt::Fehler);
    }
    FGeheMarkeForm = std::make_unique<TGeheMarkeForm>(this);
}

void TForm1::MenuAktZusammenfuegenClick()
{
    // Playback goes on while the user collects files.
    ArbeitsordnerSetzen(InitialDirStr());
    TMp3AddDlg dlg(this);
    dlg.exec();
}

void TForm1::MenuAktMp3InfosDateiClick()
{
    Mp3InfosEingeben(MenuAktMp3InfosDatei);
}

void TForm1::MenuAktMp3InfosMehrereClick()
{
    Mp3InfosEingeben(MenuAktMp3InfosMehrere);
}

void TForm1::MenuAktClick()
{
    MenuAktMp3InfosAction->setEnabled(!FFilename.isEmpty());
    MenuAktMp3InfosDatei->setEnabled(true);
    MenuAktMp3InfosMehrere->setEnabled(!FSplitDateien.isEmpty());
}

TId3TagsForm *TForm1::Id3TagsForm()
{
    if (!FId3TagsForm)
        FId3TagsForm = new TId3TagsForm(this);
    return FId3TagsForm;
}

void TForm1::setId3TagsForm(TId3TagsForm *form)
{
    FId3TagsForm = form;
}

void TForm1::Mp3InfosEingeben(QAction *item)
{
    MenuAktClick();
    const bool frei = MenuAktMp3InfosAction->isEnabled() && item->isEnabled();
    if (!MenuAkt->isVisible())
        for (QAction *a : {MenuAktMp3InfosAction, MenuAktMp3InfosDatei, MenuAktMp3InfosMehrere})
            a->setEnabled(true);
    if (!frei)
        return;

    WiedergabePausieren();
    TId3TagsForm *dialog = Id3TagsForm();
    dialog->OriFileS = item->property("Tag").toInt() == 0;
    dialog->setWindowTitle(dialog->OriFileS ? QStringLiteral("Id3Tags von geöffneter Datei eingeben")
                                            : QStringLiteral("Id3Tags von zerteilten Dateien eingeben"));
    dialog->SetId3Tags(*FId3v1, *FId3v2);
    if (dialog->exec() != QDialog::Accepted)
        return;

    bool ok = true;
    if (dialog->OriFileS) {
        // The file itself, not the working copy; the player goes on undisturbed.
        ok = dialog->WriteId3Tags(FFilename);
        if (ok) {
            FId3v1->ReadFromFile(FFilename);
            FId3v2->ReadFromFile(FFilename);
        }
    } else {
        TSanduhr sanduhr;
        for (const QString &datei : std::as_const(FSplitDateien)) {
            DateiattributeLoeschen(datei);
            if (!dialog->WriteId3Tags(datei)) {
                ok = false;
                break;
            }
        }
    }
    if (!ok)
        MeldungZeigen(QStringLiteral("Es trat ein Fehler beim Id3Tag vergeben auf!"), TMeldungArt::Information,
                      TMeldungKnoepfe::Ok, this);
}

void TForm1::MenuPlayGeheMarkeClick()
{
    if (TBefehlsSperre::Gesperrt(this) || FFilename.isEmpty())
        return;
    WiedergabePausieren();
    FGeheMarkeForm->setWindowTitle(QStringLiteral("Gehe zu Marke"));
    FGeheMarkeForm->Marken = FMarken;
    if (FGeheMarkeForm->exec() == QDialog::Accepted) {
        Edit4->setFocus(Qt::OtherFocusReason);
        FPlayer->setPosition(FGeheMarkeForm->GetMarkePosition());
    }
    Timer1Timer();
}

// ---- Playback

void TForm1::Timer1Timer()
{
    const qint64 position = FPlayer->Position();
    const qint64 laenge = FPlayer->Length();
    // Every change reaches the screen reader as events; an unchanged value sends none (the
    // progress bar ignores an unchanged value itself), and the caret is left where it is.
    ProgressBar1->setValue(position > 0 && laenge > 0 ? int(100 * position / laenge) : 0);
    const QString zeit = ZeitText(position, 3);
    if (Edit4->text() != zeit)
        Edit4->setText(zeit);
}

void TForm1::TrackSetzen()
{
    int links = 0;
    int rechts = 0;
    LautstaerkeLesen(links, rechts);
    TrackBar1->setValue(links > 0 ? int(std::nearbyint(links / 655.35L)) : 0);
}

void TForm1::MenuPlayPauseClick()
{
    if (FPlayer->FileName().isEmpty() || FFilename.isEmpty())
        return;
    switch (FPlayer->Mode()) {
    case TMPModes::mpPaused:
        FPlayer->Play();
        break;
    case TMPModes::mpPlaying:
        FPlayer->Pause();
        break;
    case TMPModes::mpStopped:
        Edit4->setFocus(Qt::OtherFocusReason);
        FPlayer->Play();
        break;
    default:
        break;
    }
    // A play that starts reports nothing until it ends, so the items follow the command itself.
    WiedergabeFreigeben();
}

void TForm1::MenuPlayStopClick()
{
    if (FFilename.isEmpty())
        return;
    FPlayer->Stop();
    FPlayer->setPosition(0);
    Timer1Timer();
    WiedergabeFreigeben();
}

void TForm1::setSpulen(qint64 ms)
{
    if (FFilename.isEmpty())
        return;
    const bool spielte = FPlayer->Mode() == TMPModes::mpPlaying;
    if (spielte)
        FPlayer->Pause();
    const qint64 laenge = FPlayer->Length();
    FPlayer->setPosition(std::clamp<qint64>(FPlayer->Position() + ms, 0, laenge));
    if (FPlayer->Position() >= laenge)
        FPlayer->Stop();
    else if (spielte)
        FPlayer->Play();
    Timer1Timer();
    WiedergabeFreigeben();
}

void TForm1::MenuPlayVorClick()
{
    Edit4->setFocus(Qt::OtherFocusReason);
    setSpulen(qint64(FVorRueckSekunden) * 1000);
}

void TForm1::MenuPlayRueckClick()
{
    Edit4->setFocus(Qt::OtherFocusReason);
    setSpulen(-qint64(FVorRueckSekunden) * 1000);
}

void TForm1::MenuPlayLauterClick(int Tag)
{
    TrackBar1->setValue(TrackBar1->value() + (Tag == 1 ? TrackBar1->pageStep() : -TrackBar1->pageStep()));
}

void TForm1::MenuPlayGeheClick()
{
    WiedergabePausieren();
    const qint64 maxMinute = Mp3Sekunden() / 60;
    FBytesForm->Vorbereiten(QStringLiteral("Gehe zu Minute"),
                            QStringLiteral("Sprungziel in Minuten eingeben (Max. %1):").arg(Tausenderpunkte(maxMinute)),
                            0, int(maxMinute), 0, QStringLiteral("O&K"));
    MerkActiveControl = focusWidget();
    if (FBytesForm->exec() == QDialog::Accepted) {
        const int minute = FBytesForm->Bytes();
        Edit4->setFocus(Qt::OtherFocusReason);
        FPlayer->setPosition(qint64(minute) * 60000);
    } else {
        SetActiveControl(MerkActiveControl);
    }
    Timer1Timer();
}

void TForm1::MenuEinstSpulschritteClick()
{
    WiedergabePausieren();
    FBytesForm->Vorbereiten(QStringLiteral("Spulschritte eingeben"),
                            QStringLiteral("Spulschritte in Sekunden eingeben (Max. %1):").arg(60), 1, 60,
                            FVorRueckSekunden, QStringLiteral("O&K"));
    MerkActiveControl = focusWidget();
    if (FBytesForm->exec() == QDialog::Accepted)
        setVorRueckSekunden(FBytesForm->Bytes());
    SetActiveControl(MerkActiveControl);
    RegistryLadenSpeichern(false);
}

void TForm1::MediaPlayer1Notify()
{
    if (FFehlerS || FFilename.isEmpty()) {
        Timer1->stop();
        return;
    }
    FPlayer->setNotify(false);
    if (FPlayer->Position() >= FPlayer->Length()) {
        FPlayer->setNotify(false);
        FPlayer->Stop();
        FPlayer->setNotify(false);
        FPlayer->setPosition(0);
        Timer1Timer();
    }
    FPlayer->setNotify(true);
    WiedergabeFreigeben();
}

void TForm1::WiedergabeFreigeben()
{
    if (FFilename.isEmpty())
        return;
    const TMPModes mode = FPlayer->Mode();
    const bool laeuft = mode == TMPModes::mpPaused || mode == TMPModes::mpPlaying;
    MenuPlayStop->setEnabled(laeuft);
    MenuPlayPause->setEnabled(laeuft || mode == TMPModes::mpStopped);
    MenuPlayVor->setEnabled(true);
    MenuPlayRueck->setEnabled(true);
    if (laeuft)
        Timer1->start();
    else
        Timer1->stop();
}

// ---- View, settings, help

void TForm1::MenuAnsSchriftartClick()
{
    MerkActiveControl = focusWidget();
    bool ok = false;
    FIsDialogOpen = true;
    const QFont schrift = QFontDialog::getFont(&ok, ProgrammAussehen().Schrift, this, QStringLiteral("Schriftart"),
                                               QFontDialog::DontUseNativeDialog);
    FIsDialogOpen = false;
    if (ok) {
        ProgrammAussehen().Schrift = schrift;
        SchriftfarbeWaehlen();
        setHintergrundNr(HintergrundNr());
        RegistryLadenSpeichern(false);
    }
    SetActiveControl(MerkActiveControl);
}

void TForm1::SchriftfarbeWaehlen()
{
    // Qt's font dialog has no colour; the named colours of the background follow it.
    THintergrundForm farben(this, 10, 125);
    farben.setObjectName(QStringLiteral("SchriftfarbeForm"));
    farben.CaptionZuweisen(QStringLiteral("Schriftfarbe wählen"), QStringLiteral("O&K"), QStringLiteral("&Abbrechen"));
    FeldNameSetzen(farben.ListBox1, QStringLiteral("Schriftfarben"));
    int vorher = 0;
    for (int nr = 0; nr < THintergrundForm::AnzahlFarben; ++nr) {
        if (THintergrundForm::Farbe(nr) == ProgrammAussehen().SchriftFarbe) {
            vorher = nr;
            break;
        }
    }
    farben.setHintergrundNr(vorher);
    FIsDialogOpen = true;
    const bool ok = farben.exec() == QDialog::Accepted;
    FIsDialogOpen = false;
    // Left where it was, the colour stays as stored (the window-text colour among them).
    if (!ok || farben.HintergrundNr() == vorher)
        return;
    FFontFarbwert = qint32(THintergrundForm::Farbwert(farben.HintergrundNr()));
    ProgrammAussehen().SchriftFarbe = farben.HintergrundFarbe();
}

void TForm1::MenuAnsHintergrundClick()
{
    MerkActiveControl = focusWidget();
    if (FHintergrundForm->exec() == QDialog::Accepted) {
        setHintergrundNr(FHintergrundForm->HintergrundNr());
        RegistryLadenSpeichern(false);
    }
    SetActiveControl(MerkActiveControl);
}

void TForm1::RegistryLadenSpeichern(bool LadenS)
{
    TEinstellungen e;
    if (LadenS) {
        ::RegistryLadenSpeichern(true, e);
        setModus(e.Modus);
        setVorRueckSekunden(e.VorRueckSekunden);
        setInitialDirStr(e.InitialDirStr);
        QFont schrift(e.FontName.isEmpty() ? QStringLiteral("Arial") : e.FontName);
        schrift.setPointSize(e.FontSize > 0 ? e.FontSize : 12);
        schrift.setItalic(e.FontStyle & fsItalic);
        schrift.setBold(e.FontStyle & fsBold);
        schrift.setUnderline(e.FontStyle & fsUnderline);
        schrift.setStrikeOut(e.FontStyle & fsStrikeOut);
        ProgrammAussehen().Schrift = schrift;
        FFontFarbwert = e.FontColor;
        FFontCharSet = e.FontCharSet;
        ProgrammAussehen().SchriftFarbe = FarbwertZuFarbe(e.FontColor, palette());
        setHintergrundNr(e.HintergrundNr);
        return;
    }
    e.Modus = FModus;
    e.VorRueckSekunden = FVorRueckSekunden;
    e.InitialDirStr = FInitialDir;
    e.HintergrundNr = HintergrundNr();
    const QFont &schrift = ProgrammAussehen().Schrift;
    e.FontName = schrift.family();
    e.FontSize = schrift.pointSize() > 0 ? schrift.pointSize() : 12;
    e.FontColor = FFontFarbwert;
    e.FontCharSet = FFontCharSet;
    e.FontStyle = (schrift.italic() ? fsItalic : 0) | (schrift.bold() ? fsBold : 0) |
                  (schrift.underline() ? fsUnderline : 0) | (schrift.strikeOut() ? fsStrikeOut : 0);
    ::RegistryLadenSpeichern(false, e);
}

void TForm1::MenuHilfeClick()
{
    MenuHilfeAenderungen->setEnabled(QFileInfo::exists(HistoryDatei()));
    MenuHilfeUpdate->setVisible(QFileInfo(WelfranzProgramm()).isExecutable());
}

void TForm1::MenuHilfeInfoClick()
{
    MeldungZeigen(QStringLiteral("%1\n\nZerteilt und verbindet MP3-Dateien und bearbeitet ihre ID3-Tags, "
                                 "ohne den Ton neu zu kodieren.\n\nKontakt: %2\n%3")
                      .arg(QLatin1String(ProgrammTitel), MailAdresse, HomepageAdresse),
                  TMeldungArt::Information, TMeldungKnoepfe::Ok, this);
}

void TForm1::MenuHilfeHomepageClick()
{
    ShellOeffnen(this, HomepageAdresse, QString(), SW_SHOWNORMAL, QStringLiteral("open"), QString());
}

void TForm1::MenuHilfeSpendenClick()
{
    ShellOeffnen(this, SpendenAdresse, QString(), SW_SHOWNORMAL, QStringLiteral("open"), QString());
}

void TForm1::MenuHilfeMailClick()
{
    ShellOeffnen(this, QStringLiteral("mailto:%1?subject=%2").arg(MailAdresse, QLatin1String(ProgrammTitel)), QString(),
                 SW_SHOWNORMAL, QStringLiteral("open"), QString());
}

void TForm1::MenuHilfeAenderungenClick()
{
    TextDateiZeigen(HistoryDatei(), false);
}

void TForm1::MenuHilfeUpdateClick()
{
    const QString cfg = TempOrdner() + QStringLiteral("Zindara.cfg");
    const QFont &schrift = ProgrammAussehen().Schrift;
    const QStringList zeilen{QLatin1String(ProgrammTitel), windowTitle(), QCoreApplication::applicationFilePath(),
                             QStringLiteral("Zindara"),
                             QStringLiteral("%1 %2").arg(schrift.pointSize()).arg(schrift.family())};
    bool ok = false;
    DateiattributeLoeschen(cfg);
    QFile datei(cfg);
    if (datei.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        QByteArray inhalt;
        for (const QString &z : zeilen)
            inhalt += TextToAnsi(z) + "\r\n";
        ok = datei.write(inhalt) == inhalt.size();
        datei.close();
    }
    if (ok)
        ok = QProcess::startDetached(WelfranzProgramm(), {QStringLiteral("Zindara.cfg")}, TempOrdner());
    if (!ok) {
        MeldungZeigen(QStringLiteral("Es ist ein Fehler beim Aktualisieren aufgetreten!\r\nDie Datei \"%1\" konnte "
                                     "nicht gespeichert werden.")
                          .arg(QDir::toNativeSeparators(cfg)),
                      TMeldungArt::Fehler, TMeldungKnoepfe::Ok, this);
    }
}

// ---- Mailbox

void TForm1::WMCopyData(const QString &text)
{
    WelfranzWmSetFocus();
    FParameters = SplitParameters(text);
    // A name handed over while a dialog is open waits for the next hand-over.
    if (!IsDialogOpen() && !FParameters.isEmpty())
        TimerSendTo->start();
}

void TForm1::TimerSendToTimer()
{
    TimerSendTo->stop();
    if (TBefehlsSperre::Gesperrt(this)) {
        TimerSendTo->start();
        return;
    }
    MenuDateiOpenClick(false);
}

void TForm1::WelfranzWmSetFocus()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->windowHandle())
            VordergrundErzwingen(w->windowHandle());
    }
}

void TForm1::WelfranzWmClose()
{
    MenuDateiBeendenClick();
}

bool TForm1::IsDialogOpen() const
{
    return FIsDialogOpen || QApplication::activeModalWidget() != nullptr;
}
