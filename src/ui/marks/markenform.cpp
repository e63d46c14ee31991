#include "ui/marks/markenform.h"

#include "cutting/segmentwriter.h"
#include "platform/player.h"
#include "platform/sounds.h"
#include "platform/volume.h"
#include "support/fileutils.h"
#include "support/formatting.h"
#include "ui/common/activecontrol.h"
#include "ui/common/appearance.h"
#include "ui/common/busy.h"
#include "ui/common/windowmeasures.h"
#include "ui/common/windowreporter.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QMenu>
#include <QProxyStyle>
#include <QPushButton>
#include <QShowEvent>
#include <QTreeWidget>
#include <algorithm>

// The tick boxes of the rows as large as the font wants them; the rows make room for them.
class TKastenStil : public QProxyStyle {
public:
    int Kasten = 13;
    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        if (metric == PM_IndicatorWidth || metric == PM_IndicatorHeight)
            return Kasten;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

namespace {

// A question or message during a copy shows the normal cursor, not the hourglass.
class TEditorReporter : public TFensterReporter {
public:
    using TFensterReporter::TFensterReporter;
    TMeldungAntwort Meldung(const QString &text, TMeldungArt art, TMeldungKnoepfe knoepfe) override
    {
        QApplication::setOverrideCursor(Qt::ArrowCursor);
        const TMeldungAntwort antwort = TFensterReporter::Meldung(text, art, knoepfe);
        QApplication::restoreOverrideCursor();
        return antwort;
    }
};

} // namespace

TMarkenForm::TMarkenForm(QWidget *parent) : TDialogBasis(parent)
{
    setObjectName(QStringLiteral("MarkenForm"));
    FTmpFilename = TempMp3Name();

    FKastenStil = new TKastenStil;
    FKastenStil->setParent(this);
    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setAccessibleName(QStringLiteral("Marken"));
    ListView1->setColumnCount(2);
    ListView1->setRootIsDecorated(false);
    ListView1->setItemsExpandable(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setAllColumnsShowFocus(true);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setSortingEnabled(false);
    ListView1->header()->setSectionsMovable(false);
    // The position column takes the rest, so no scroll bar appears for the columns.
    ListView1->header()->setStretchLastSection(true);
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);

    Button1 = new QPushButton(QStringLiteral("O&K"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button2 = new QPushButton(this);
    Button2->setObjectName(QStringLiteral("Button2"));
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    SaveDialog1 = new QFileDialog(this);
    SaveDialog1->setObjectName(QStringLiteral("SaveDialog1"));
    SaveDialog1->setAcceptMode(QFileDialog::AcceptSave);
    SaveDialog1->setFileMode(QFileDialog::AnyFile);
    SaveDialog1->setDefaultSuffix(QStringLiteral("MP3"));
    SaveDialog1->setOption(QFileDialog::DontConfirmOverwrite);
    SaveDialog1->setNameFilters({QStringLiteral("MP3-Dateien (*.MP3 *.mp3)"), QStringLiteral("Alle Dateien (*)")});

    MediaPlayer1 = new TMediaPlayer(this);
    MediaPlayer1->setObjectName(QStringLiteral("MediaPlayer1"));

    AktionenAnlegen();

    connect(ListView1, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem *item, int) {
        if (FAnzeigen)
            return;
        const int zeile = ListView1->indexOfTopLevelItem(item);
        FZeilen.SetAngehakt(zeile, item->checkState(0) == Qt::Checked);
        ZeileBeschriften(item, zeile);
    });
    connect(ListView1, &QTreeWidget::itemSelectionChanged, this, [this] {
        const QList<QTreeWidgetItem *> auswahl = ListView1->selectedItems();
        FZeilen.AktuelleZeile = auswahl.isEmpty() ? -1 : ListView1->indexOfTopLevelItem(auswahl.first());
    });
    connect(ListView1, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        QPoint ort = pos;
        // From the keyboard the menu opens at the current row.
        if (QTreeWidgetItem *item = ListView1->currentItem(); item && !ListView1->viewport()->rect().contains(pos))
            ort = ListView1->visualItemRect(item).center();
        PopupMenu1->popup(ListView1->viewport()->mapToGlobal(ort));
    });

    CaptionZuweisen();
}

void TMarkenForm::CaptionZuweisen()
{
    Button2->setText(QStringLiteral("S&chließen"));
}

TMarkenForm::~TMarkenForm()
{
    MediaPlayer1->Close();
    QFile::remove(FTmpFilename);
}

QAction *TMarkenForm::Aktion(QMenu *menu, const char *name, const QString &caption, const QKeySequence &key, int tag)
{
    auto *action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(key);
    action->setData(tag);
    // The shortcuts work wherever the focus is in this window, not only while the menu shows.
    addAction(action);
    return action;
}

void TMarkenForm::AktionenAnlegen()
{
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));

    PopupLoeschen = Aktion(PopupMenu1, "PopupLoeschen", QStringLiteral("Markierten Eintrag &löschen"),
                           QKeySequence(Qt::Key_Delete), 0);
    PopupHakenLoeschen = Aktion(PopupMenu1, "PopupHakenLoeschen", QStringLiteral("Angehakte Einträge löschen"),
                                QKeySequence(Qt::CTRL | Qt::Key_Delete), 0);
    PopupMenu1->addSeparator();
    PopupMarkeLinks =
        Aktion(PopupMenu1, "PopupMarkeLinks", QStringLiteral("Marke um 0,010 Sekunden nach links verschieben"),
               QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Left), 0);
    PopupMarkeRechts =
        Aktion(PopupMenu1, "PopupMarkeRechts", QStringLiteral("Marke um 0,010 Sekunden nach rechts verschieben"),
               QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Right), 1);
    PopupMarkeLinks2 =
        Aktion(PopupMenu1, "PopupMarkeLinks2", QStringLiteral("Marke um 0,100 Sekunden nach links verschieben"),
               QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Left), 2);
    PopupMarkeRechts2 =
        Aktion(PopupMenu1, "PopupMarkeRechts2", QStringLiteral("Marke um 0,100 Sekunden nach rechts verschieben"),
               QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Right), 3);
    PopupMenu1->addSeparator();
    PopupAlleAnhaken =
        Aktion(PopupMenu1, "PopupAlleAnhaken", QStringLiteral("&Alle anhaken"), QKeySequence(Qt::CTRL | Qt::Key_A), 0);
    PopupKeineAnhaken = Aktion(PopupMenu1, "PopupKeineAnhaken", QStringLiteral("&Keine anhaken"),
                               QKeySequence(Qt::CTRL | Qt::Key_K), 0);
    PopupMenu1->addSeparator();
    PopupSpeichern =
        Aktion(PopupMenu1, "PopupSpeichern", QStringLiteral("Angehakte Einträge zusammenfügen und speichern"),
               QKeySequence(Qt::CTRL | Qt::Key_S), 0);
    PopupMenu1->addSeparator();
    PopupPlay = PopupMenu1->addMenu(QStringLiteral("&Wiedergabesteuerung"));
    PopupPlay->setObjectName(QStringLiteral("PopupPlay"));
    PopupPlayPlay = Aktion(PopupPlay, "PopupPlayPlay", QStringLiteral("Angehakte Einträge &wiedergeben/stoppen"),
                           QKeySequence(Qt::CTRL | Qt::Key_W), 0);
    PopupPlayPlay2 = Aktion(PopupPlay, "PopupPlayPlay2", QStringLiteral("&Markierten Eintrag wiedergeben/stoppen"),
                            QKeySequence(Qt::CTRL | Qt::Key_M), 1);
    PopupPlayLetzte = Aktion(PopupPlay, "PopupPlayLetzte",
                             QStringLiteral("&Letzte 2 Sekunden des markierten Eintrags wiedergeben/stoppen"),
                             QKeySequence(Qt::CTRL | Qt::Key_L), 2);
    PopupPlay->addSeparator();
    PopupPlayVor =
        Aktion(PopupPlay, "PopupPlayVor", QStringLiteral("Vorspulen"), QKeySequence(Qt::CTRL | Qt::Key_Right), 0);
    PopupPlayRueck =
        Aktion(PopupPlay, "PopupPlayRueck", QStringLiteral("Rückspulen"), QKeySequence(Qt::CTRL | Qt::Key_Left), 0);
    PopupPlay->addSeparator();
    PopupPlayLauter =
        Aktion(PopupPlay, "PopupPlayLauter", QStringLiteral("Lauter"), QKeySequence(Qt::CTRL | Qt::Key_Up), 1);
    PopupPlayLeiser =
        Aktion(PopupPlay, "PopupPlayLeiser", QStringLiteral("Leiser"), QKeySequence(Qt::CTRL | Qt::Key_Down), 0);

    connect(PopupLoeschen, &QAction::triggered, this, [this] { EintragLoeschen(false); });
    connect(PopupHakenLoeschen, &QAction::triggered, this, [this] { EintragLoeschen(true); });
    for (QAction *a : {PopupMarkeLinks, PopupMarkeRechts, PopupMarkeLinks2, PopupMarkeRechts2})
        connect(a, &QAction::triggered, this, [this, a] { MarkeVerschieben(a->data().toInt()); });
    connect(PopupAlleAnhaken, &QAction::triggered, this, [this] { AlleAnhaken(true); });
    connect(PopupKeineAnhaken, &QAction::triggered, this, [this] { AlleAnhaken(false); });
    connect(PopupSpeichern, &QAction::triggered, this, &TMarkenForm::SpeichernClick);
    for (QAction *a : {PopupPlayPlay, PopupPlayPlay2, PopupPlayLetzte})
        connect(a, &QAction::triggered, this, [this, a] { PlayClick(a->data().toInt()); });
    connect(PopupPlayVor, &QAction::triggered, this, [this] { setSpulen(qint64(VorRueckSekunden) * 1000); });
    connect(PopupPlayRueck, &QAction::triggered, this, [this] { setSpulen(qint64(VorRueckSekunden) * -1000); });
    for (QAction *a : {PopupPlayLauter, PopupPlayLeiser})
        connect(a, &QAction::triggered, this, [this, a] { LautstaerkeClick(a->data().toInt()); });

    connect(PopupMenu1, &QMenu::aboutToShow, this, &TMarkenForm::PopupOeffnen);
    connect(PopupMenu1, &QMenu::aboutToHide, this, &TMarkenForm::PopupSchliessen);
}

void TMarkenForm::PopupOeffnen()
{
    const bool etwas = EtwasAngehakt();
    const bool auswahl = FZeilen.AktuelleZeile >= 0;
    for (QAction *a : {PopupPlayPlay, PopupSpeichern, PopupHakenLoeschen})
        a->setEnabled(etwas);
    for (QAction *a : {PopupLoeschen, PopupMarkeLinks, PopupMarkeRechts, PopupMarkeLinks2, PopupMarkeRechts2})
        a->setEnabled(auswahl);
    PopupPlay->menuAction()->setEnabled(auswahl);
    PopupAlleAnhaken->setEnabled(!AlleAngehakt(true));
    PopupKeineAnhaken->setEnabled(!AlleAngehakt(false));
}

void TMarkenForm::PopupSchliessen()
{
    // The enabling holds for the open menu; a shortcut pressed later finds its handler, which
    // checks for itself.
    for (QAction *a : PopupMenu1->actions())
        a->setEnabled(true);
}

void TMarkenForm::showEvent(QShowEvent *event)
{
    TDialogBasis::showEvent(event);
    if (event->spontaneous())
        return;
    MarkenZuweisen(true);
    Button1Regel();
}

void TMarkenForm::SchriftartZuweisen()
{
    TDialogBasis::SchriftartZuweisen();
    // The pop-up menu and the tick boxes grow with the font too, for those who need it large.
    const QFont &schrift = ProgrammAussehen().Schrift;
    PopupMenu1->setFont(schrift);
    PopupPlay->setFont(schrift);
    FKastenStil->Kasten = std::max(13, SchriftHoehe(schrift) * 2 / 3);
    ListView1->setStyle(FKastenStil);
}

void TMarkenForm::SchalterEinrichten()
{
    const QFont &schrift = ProgrammAussehen().Schrift;
    const int knopfHoehe = SchriftHoehe(schrift, TSchalterArt::Button);
    const int hoehe = Bildschirm(this).height() - 50;
    const int knopfBreite = KnopfBreite({Button1, Button2});
    const int rahmen = frameGeometry().width() - width();
    // Margin, button, gap, button, margin: five button widths.
    int breite = 5 * knopfBreite;
    const int platz = Bildschirm(this).isEmpty() ? breite : Bildschirm(this).width() - rahmen;
    int knopfOben = hoehe - knopfHoehe - 10;
    if (breite <= platz) {
        Button1->setGeometry(knopfBreite, knopfOben, knopfBreite, knopfHoehe);
        Button2->setGeometry(3 * knopfBreite, knopfOben, knopfBreite, knopfHoehe);
    } else if (2 * knopfBreite + 30 <= platz) {
        // A large font: the window stays on the screen, the buttons close up in the middle.
        breite = platz;
        const int links = (breite - 2 * knopfBreite - 10) / 2;
        Button1->setGeometry(links, knopfOben, knopfBreite, knopfHoehe);
        Button2->setGeometry(links + knopfBreite + 10, knopfOben, knopfBreite, knopfHoehe);
    } else {
        // Not even side by side: one button above the other.
        breite = platz;
        const int knopf = std::min(knopfBreite, breite - 20);
        const int links = (breite - knopf) / 2;
        Button2->setGeometry(links, knopfOben, knopf, knopfHoehe);
        knopfOben -= knopfHoehe + 10;
        Button1->setGeometry(links, knopfOben, knopf, knopfHoehe);
    }
    ListView1->setGeometry(10, 10, breite - 20, knopfOben - 20);
    setFixedSize(breite, hoehe);
}

void TMarkenForm::MarkenZuweisen(bool AnfangS)
{
    if (!AnfangS) {
        FZeilen.MarkenZuweisen(false);
        Marken = FZeilen.Marken;
        return;
    }
    FZeilen.OkS = OkS;
    FZeilen.MaxLength = MaxLength;
    FZeilen.MaxSize = MaxSize;
    FZeilen.OriFilename = OriFilename;
    FZeilen.Marken = Marken;
    ListView1->setHeaderLabels({QStringLiteral("Nummer"), QStringLiteral("Position")});
    const int breite = ListView1->width();
    ListView1->setColumnWidth(0, breite / 6);
    try {
        FZeilen.MarkenZuweisen(true);
    } catch (const EConvertError &) {
        // The main window hands in only time texts; anything else shows no rows.
        FZeilen.Marken.clear();
        FZeilen.MarkenZuweisen(true);
    }
    ZeilenAnzeigen(0);
}

void TMarkenForm::ZeilenAnzeigen(int aktuell)
{
    FAnzeigen = true;
    ListView1->clear();
    const QList<TMarkenZeile> &zeilen = FZeilen.Zeilen();
    for (int i = 0; i < zeilen.size(); ++i) {
        auto *item = new QTreeWidgetItem(ListView1);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        ZeileBeschriften(item, i);
    }
    FAnzeigen = false;
    ListView1->setFocus();
    if (QTreeWidgetItem *item = ListView1->topLevelItem(aktuell)) {
        ListView1->setCurrentItem(item);
        item->setSelected(true);
        ListView1->scrollToItem(item);
    }
    FZeilen.AktuelleZeile = ListView1->topLevelItemCount() > 0 ? aktuell : -1;
    Button1Regel();
}

void TMarkenForm::ZeileBeschriften(QTreeWidgetItem *item, int zeile)
{
    const TMarkenZeile &z = FZeilen.Zeilen().at(zeile);
    const bool vorher = FAnzeigen;
    FAnzeigen = true;
    item->setText(0, z.Nummer);
    item->setText(1, z.Position);
    item->setCheckState(0, z.Angehakt ? Qt::Checked : Qt::Unchecked);
    // A screen reader reads the whole row at once: number, times and whether it is ticked.
    item->setData(
        0, Qt::AccessibleTextRole,
        QStringLiteral("%1 %2 %3")
            .arg(z.Nummer, z.Position, z.Angehakt ? QStringLiteral("angehakt") : QStringLiteral("nicht angehakt")));
    FAnzeigen = vorher;
}

void TMarkenForm::Button1Regel()
{
    FZeilen.Marken = Marken;
    Button1->setEnabled(FZeilen.Button1Aktiv());
}

void TMarkenForm::MarkenBytesErmitteln(int ATag)
{
    FZeilen.MarkenBytesErmitteln(ATag);
}

void TMarkenForm::MarkeVerschieben(int TagNr)
{
    const int zeile = FZeilen.AktuelleZeile;
    if (zeile < 0)
        return;
    if (!FZeilen.MarkeVerschieben(TagNr)) {
        Piepsen();
        return;
    }
    ZeileBeschriften(ListView1->topLevelItem(zeile), zeile);
    if (zeile + 1 < ListView1->topLevelItemCount())
        ZeileBeschriften(ListView1->topLevelItem(zeile + 1), zeile + 1);
}

void TMarkenForm::EintragLoeschen(bool CheckBoxS)
{
    TEditorReporter report(this);
    if (!FZeilen.EintragLoeschen(CheckBoxS, report))
        return;
    Marken = FZeilen.Marken;
    ZeilenAnzeigen(0);
}

void TMarkenForm::AlleAnhaken(bool AnhakenS)
{
    FZeilen.AlleAnhaken(AnhakenS);
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i)
        ZeileBeschriften(ListView1->topLevelItem(i), i);
}

bool TMarkenForm::EtwasAngehakt() const
{
    return FZeilen.EtwasAngehakt();
}

bool TMarkenForm::AlleAngehakt(bool AlleS) const
{
    return FZeilen.AlleAngehakt(AlleS);
}

void TMarkenForm::PlayClick(int tag)
{
    if (MediaPlayer1->FileName().isEmpty() || MediaPlayer1->Mode() == TMPModes::mpStopped) {
        MediaPlayer1->Close();
        MediaPlayer1->setFileName(QString());
        MarkenBytesErmitteln(tag);
        TEditorReporter report(this);
        bool geschrieben = false;
        {
            TSanduhr sanduhr;
            TBefehlsSperre sperre(this);
            geschrieben = Mp3ErstellenOk(FZeilen, FTmpFilename, true, report);
        }
        if (!geschrieben)
            return;
        MediaPlayer1->setFileName(FTmpFilename);
        try {
            MediaPlayer1->Open();
        } catch (const EMCIDeviceError &) {
            MediaPlayer1->setFileName(QString());
            FehlerTon();
            return;
        }
    }
    switch (MediaPlayer1->Mode()) {
    case TMPModes::mpPlaying:
    case TMPModes::mpPaused:
        MediaPlayer1->Stop();
        break;
    case TMPModes::mpStopped:
        MediaPlayer1->Play();
        break;
    default:
        break;
    }
}

void TMarkenForm::setSpulen(qint64 ms)
{
    if (MediaPlayer1->Mode() != TMPModes::mpPlaying)
        return;
    MediaPlayer1->Pause();
    const qint64 laenge = MediaPlayer1->Length();
    MediaPlayer1->setPosition(std::clamp(MediaPlayer1->Position() + ms, qint64(0), laenge));
    if (MediaPlayer1->Position() >= laenge)
        MediaPlayer1->Stop();
    else
        MediaPlayer1->Play();
}

void TMarkenForm::LautstaerkeClick(int tag)
{
    int links = 0;
    int rechts = 0;
    if (!LautstaerkeLesen(links, rechts))
        return;
    const int schritt = tag == 1 ? PlusVolume : -PlusVolume;
    LautstaerkeSetzen(links + schritt, rechts + schritt);
}

void TMarkenForm::SpeichernClick()
{
    TEditorReporter report(this);
    if (!SegmenteWaehlen(FZeilen, report))
        return;
    QWidget *merkActiveControl = focusWidget();
    const bool gewaehlt = SaveDialog1->exec() == QDialog::Accepted && !SaveDialog1->selectedFiles().isEmpty();
    if (gewaehlt) {
        const QString datei = SaveDialog1->selectedFiles().constFirst();
        TSanduhr sanduhr;
        TBefehlsSperre sperre(this);
        SegmenteSpeichern(FZeilen, datei, report);
    }
    SetActiveControl(merkActiveControl);
}

void TMarkenForm::WiedergabeStoppen()
{
    // The device stays open on the playback file; the next play command finds it stopped.
    const TMPModes modus = MediaPlayer1->Mode();
    if (!MediaPlayer1->FileName().isEmpty() &&
        (modus == TMPModes::mpPlaying || modus == TMPModes::mpPaused || modus == TMPModes::mpStopped))
        MediaPlayer1->Stop();
}

void TMarkenForm::done(int r)
{
    WiedergabeStoppen();
    MarkenZuweisen(false);
    TDialogBasis::done(r);
}
