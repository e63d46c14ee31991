#include "ui/join/savedialog.h"

#include "cutting/joinwriter.h"
#include "platform/player.h"
#include "platform/shell.h"
#include "platform/userfolders.h"
#include "ui/common/activecontrol.h"
#include "ui/common/busy.h"
#include "ui/common/windowmeasures.h"
#include "ui/common/windowreporter.h"
#include "ui/join/joinlist.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QShowEvent>
#include <QTreeWidget>
#include <algorithm>
#include <cmath>

// Names are case-sensitive here, so both spellings of the extension are offered.
const QString Mp3DateiFilter = QStringLiteral("MP3-Dateien (*.mp3 *.MP3);;Alle Dateien (*)");

TSpeichernDlg::TSpeichernDlg(QWidget *parent) : TDialogBasis(parent)
{
    setObjectName(QStringLiteral("SpeichernDlg"));
    ListView1 = new QTreeWidget(this);
    DateiListeEinrichten(ListView1, QStringLiteral("Reihenfolge der Dateien"));
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    Btn3NachOben = new QPushButton(this);
    Btn3NachOben->setObjectName(QStringLiteral("Btn3NachOben"));
    Btn4NachUnten = new QPushButton(this);
    Btn4NachUnten->setObjectName(QStringLiteral("Btn4NachUnten"));
    Btn1Speichern = new QPushButton(this);
    Btn1Speichern->setObjectName(QStringLiteral("Btn1Speichern"));
    Btn1Speichern->setDefault(true);
    Btn2Zurueck = new QPushButton(this);
    Btn2Zurueck->setObjectName(QStringLiteral("Btn2Zurueck"));
    MediaPlayer1 = new TMediaPlayer(this);
    MediaPlayer1->setObjectName(QStringLiteral("MediaPlayer1"));
    setTabOrder(ListView1, Btn3NachOben);
    setTabOrder(Btn3NachOben, Btn4NachUnten);
    setTabOrder(Btn4NachUnten, Btn1Speichern);
    setTabOrder(Btn1Speichern, Btn2Zurueck);

    PopupMenuLv1 = new QMenu(this);
    PopupMenuLv1->setObjectName(QStringLiteral("PopupMenuLv1"));
    PuLv1NachOben = MenuAktion(PopupMenuLv1, ListView1, "PuLv1NachOben", QStringLiteral("Nach &oben"),
                               QKeySequence(Qt::CTRL | Qt::Key_Up));
    PuLv1NachUnten = MenuAktion(PopupMenuLv1, ListView1, "PuLv1NachUnten", QStringLiteral("Nach &unten"),
                                QKeySequence(Qt::CTRL | Qt::Key_Down));
    PuLv1Speichern = MenuAktion(PopupMenuLv1, ListView1, "PuLv1Speichern", QStringLiteral("&Speichern..."),
                                QKeySequence(Qt::CTRL | Qt::Key_S));
    PuLv1Wiedergabe = MenuAktion(PopupMenuLv1, ListView1, "PuLv1Wiedergabe",
                                 QStringLiteral("&Wiedergabe starten/stoppen"), QKeySequence(Qt::CTRL | Qt::Key_W));
    PuLv1Dateipfad = MenuAktion(PopupMenuLv1, ListView1, "PuLv1Dateipfad", QStringLiteral("&Dateipfad öffnen..."),
                                QKeySequence(Qt::CTRL | Qt::Key_D));
    ListenMenuSetzen(ListView1, PopupMenuLv1);
    connect(PopupMenuLv1, &QMenu::aboutToShow, this, &TSpeichernDlg::MenuAktualisieren);
    connect(ListView1, &QTreeWidget::currentItemChanged, this, &TSpeichernDlg::MenuAktualisieren);

    connect(Btn3NachOben, &QPushButton::clicked, this, [this] { BtnClick(1); });
    connect(Btn4NachUnten, &QPushButton::clicked, this, [this] { BtnClick(2); });
    connect(Btn1Speichern, &QPushButton::clicked, this, [this] { BtnClick(3); });
    connect(Btn2Zurueck, &QPushButton::clicked, this, [this] { BtnClick(4); });
    connect(PuLv1NachOben, &QAction::triggered, this, [this] { BtnClick(1); });
    connect(PuLv1NachUnten, &QAction::triggered, this, [this] { BtnClick(2); });
    connect(PuLv1Speichern, &QAction::triggered, this, [this] { BtnClick(3); });
    connect(PuLv1Wiedergabe, &QAction::triggered, this, &TSpeichernDlg::WiedergabeClick);
    connect(PuLv1Dateipfad, &QAction::triggered, this, &TSpeichernDlg::DateipfadClick);

    Liste.clear();
    CaptionZuweisen();
}

void TSpeichernDlg::CaptionZuweisen()
{
    setWindowTitle(QStringLiteral("Reihenfolge ändern und in eine neue Datei speichern"));
    Btn3NachOben->setText(QStringLiteral("Nach &oben"));
    Btn4NachUnten->setText(QStringLiteral("Nach &unten"));
    Btn1Speichern->setText(QStringLiteral("&Speichern..."));
    Btn2Zurueck->setText(QStringLiteral("&Zurück"));
}

void TSpeichernDlg::SchalterEinrichten()
{
    const QRect schirm = Bildschirm(this);
    const int breite = schirm.width();
    const int hoehe = static_cast<int>(std::trunc(static_cast<long double>(schirm.height()) / 100 * 90));
    setFixedSize(breite, hoehe);
    const int knopfBreite =
        std::min(KnopfBreite({Btn3NachOben, Btn4NachUnten, Btn1Speichern, Btn2Zurueck}), (breite - 3 * 10) / 2);
    const int knopfHoehe = SchriftHoehe(Btn1Speichern->font(), TSchalterArt::Button);
    // Where a large font leaves no room for four buttons in a row, they stand in two rows of two.
    const int proReihe = 4 * knopfBreite + 5 * 10 <= breite ? 4 : 2;
    const int g = (breite - proReihe * knopfBreite) / (proReihe + 1);
    const int knopfOben = hoehe - 4 / proReihe * (knopfHoehe + 10);
    int i = 0;
    for (QPushButton *knopf : {Btn3NachOben, Btn4NachUnten, Btn1Speichern, Btn2Zurueck}) {
        knopf->setGeometry(g + (i % proReihe) * (knopfBreite + g), knopfOben + (i / proReihe) * (knopfHoehe + 10),
                           knopfBreite, knopfHoehe);
        ++i;
    }
    ListView1->setGeometry(10, 10, breite - 20, knopfOben - 10 - 10);
    SpaltenBreitenSetzen(ListView1);
}

void TSpeichernDlg::showEvent(QShowEvent *event)
{
    TDialogBasis::showEvent(event);
    if (event->spontaneous())
        return;
    ListView1->setUpdatesEnabled(false);
    for (int i = 0; i < Liste.size(); ++i)
        SetLv1Item(i);
    ListView1->setUpdatesEnabled(true);
    if (QTreeWidgetItem *erste = ListView1->topLevelItem(0)) {
        ListView1->setCurrentItem(erste);
        erste->setSelected(true);
        ListView1->scrollToItem(erste);
    }
    ListView1->setFocus(Qt::OtherFocusReason);
    UpdateButtons();
}

void TSpeichernDlg::done(int result)
{
    WiedergabeAnhalten(*MediaPlayer1);
    MediaPlayer1->Close();
    TDialogBasis::done(result);
}

int TSpeichernDlg::AktuelleZeile() const
{
    const int i = ListView1->indexOfTopLevelItem(ListView1->currentItem());
    return i >= 0 && i < Liste.size() ? i : -1;
}

void TSpeichernDlg::SetLv1Item(int Index)
{
    while (ListView1->topLevelItemCount() <= Index)
        new QTreeWidgetItem(ListView1);
    ZeileSchreiben(ListView1, ListView1->topLevelItem(Index), Liste[Index]);
}

void TSpeichernDlg::NachObenUnten(bool ObenS)
{
    const int i = AktuelleZeile();
    const int j = ObenS ? i - 1 : i + 1;
    if (i < 0 || j < 0 || j >= Liste.size())
        return;
    ListView1->setUpdatesEnabled(false);
    Liste.swapItemsAt(i, j);
    SetLv1Item(i);
    SetLv1Item(j);
    QTreeWidgetItem *ziel = ListView1->topLevelItem(j);
    ListView1->setCurrentItem(ziel);
    ziel->setSelected(true);
    ListView1->scrollToItem(ziel);
    ListView1->setUpdatesEnabled(true);
}

void TSpeichernDlg::BtnClick(int tag)
{
    WiedergabeAnhalten(*MediaPlayer1);
    switch (tag) {
    case 1:
        NachObenUnten(true);
        break;
    case 2:
        NachObenUnten(false);
        break;
    case 3:
        if (SpeichernOk())
            accept();
        break;
    case 4:
        reject();
        break;
    }
}

bool TSpeichernDlg::SpeichernOk()
{
    QWidget *MerkActiveControl = focusWidget();
    QString datei;
    {
        QFileDialog SaveDialog1(this, QString(), Arbeitsordner());
        SaveDialog1.setObjectName(QStringLiteral("SaveDialog1"));
        SaveDialog1.setAcceptMode(QFileDialog::AcceptSave);
        SaveDialog1.setFileMode(QFileDialog::AnyFile);
        SaveDialog1.setNameFilter(Mp3DateiFilter);
        SaveDialog1.setDefaultSuffix(QStringLiteral("mp3"));
        // The question about an existing file is this dialog's own.
        SaveDialog1.setOption(QFileDialog::DontConfirmOverwrite);
        SaveDialog1.setSizeGripEnabled(true);
        if (SaveDialog1.exec() == QDialog::Accepted && !SaveDialog1.selectedFiles().isEmpty())
            datei = SaveDialog1.selectedFiles().constFirst();
    }
    if (datei.isEmpty()) {
        SetActiveControl(MerkActiveControl);
        return true;
    }
    {
        TSanduhr sanduhr;
        TBefehlsSperre sperre(this);
        TFensterReporter report(this);
        DateienSpeichern(Liste, QDir::toNativeSeparators(datei), report);
    }
    SetActiveControl(MerkActiveControl);
    return false;
}

void TSpeichernDlg::UpdateButtons()
{
    const int i = AktuelleZeile();
    const bool aktuell = i >= 0;
    Btn1Speichern->setEnabled(aktuell);
    PuLv1Speichern->setEnabled(aktuell);
    Btn3NachOben->setEnabled(aktuell && i > 0);
    PuLv1NachOben->setEnabled(aktuell && i > 0);
    Btn4NachUnten->setEnabled(aktuell && i < Liste.size() - 1);
    PuLv1NachUnten->setEnabled(aktuell && i < Liste.size() - 1);
}

void TSpeichernDlg::MenuAktualisieren()
{
    UpdateButtons();
    const int i = AktuelleZeile();
    PuLv1Wiedergabe->setEnabled(i >= 0);
    PuLv1Dateipfad->setEnabled(i >= 0 && QDir(DateiOrdner(Liste[i].Filename)).exists());
}

void TSpeichernDlg::WiedergabeClick()
{
    const int i = AktuelleZeile();
    if (i >= 0)
        WiedergabeUmschalten(*MediaPlayer1, Liste[i].Filename, this);
}

void TSpeichernDlg::DateipfadClick()
{
    const int i = AktuelleZeile();
    if (i >= 0 && QDir(DateiOrdner(Liste[i].Filename)).exists())
        ShellOeffnen(this, DateiOrdner(Liste[i].Filename), QString(), SW_SHOWNORMAL, QStringLiteral("open"), QString());
}
