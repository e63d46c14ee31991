#include "ui/join/mp3adddialog.h"

#include "platform/player.h"
#include "platform/shell.h"
#include "platform/userfolders.h"
#include "ui/common/fieldnames.h"
#include "ui/common/messages.h"
#include "ui/common/windowmeasures.h"
#include "ui/join/folderdialog.h"
#include "ui/join/joinlist.h"
#include "ui/join/savedialog.h"
#include "ui/join/searchdialog.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShowEvent>
#include <QTreeWidget>
#include <algorithm>
#include <cmath>

TMp3AddDlg::TMp3AddDlg(QWidget *parent) : TDialogBasis(parent)
{
    setObjectName(QStringLiteral("Mp3AddDlg"));
    Le1OrdnerLabel = new QLabel(this);
    Le1OrdnerLabel->setObjectName(QStringLiteral("Le1OrdnerLabel"));
    Le1Ordner = new QLineEdit(this);
    Le1Ordner->setObjectName(QStringLiteral("Le1Ordner"));
    Le1Ordner->setReadOnly(true);
    Btn3Wechseln = new QPushButton(this);
    Btn3Wechseln->setObjectName(QStringLiteral("Btn3Wechseln"));
    Cb1Unterordner = new QCheckBox(this);
    Cb1Unterordner->setObjectName(QStringLiteral("Cb1Unterordner"));
    ListView1 = new QTreeWidget(this);
    Btn1Ok = new QPushButton(this);
    Btn1Ok->setObjectName(QStringLiteral("Btn1Ok"));
    Btn1Ok->setDefault(true);
    Btn2Abbrechen = new QPushButton(this);
    Btn2Abbrechen->setObjectName(QStringLiteral("Btn2Abbrechen"));
    MediaPlayer1 = new TMediaPlayer(this);
    MediaPlayer1->setObjectName(QStringLiteral("MediaPlayer1"));

    setTabOrder(Le1Ordner, Btn3Wechseln);
    setTabOrder(Btn3Wechseln, Cb1Unterordner);
    setTabOrder(Cb1Unterordner, ListView1);
    setTabOrder(ListView1, Btn1Ok);
    setTabOrder(Btn1Ok, Btn2Abbrechen);

    DateiSuche().SucheLaeuft = false;
    DateiSuche().SucheAbbrechen = false;
    DateiSuche().Fundliste.clear();
    DateiListeEinrichten(ListView1, QStringLiteral("Gefundene Dateien"));
    ListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);

    PopupMenuLe1 = new QMenu(this);
    PopupMenuLe1->setObjectName(QStringLiteral("PopupMenuLe1"));
    PuLe1Wechseln = MenuAktion(PopupMenuLe1, Le1Ordner, "PuLe1Wechseln", QStringLiteral("&Wechseln..."));
    PuLe1Dateipfad = MenuAktion(PopupMenuLe1, Le1Ordner, "PuLe1Dateipfad", QStringLiteral("&Dateipfad öffnen..."),
                                QKeySequence(Qt::CTRL | Qt::Key_D));
    Le1Ordner->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Le1Ordner, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PopupMenuLe1->popup(Le1Ordner->mapToGlobal(pos)); });

    PopupMenuLv1 = new QMenu(this);
    PopupMenuLv1->setObjectName(QStringLiteral("PopupMenuLv1"));
    PuLv1Anhaken = MenuAktion(PopupMenuLv1, ListView1, "PuLv1Anhaken", QStringLiteral("Alle &anhaken"));
    PuLv1Abhaken = MenuAktion(PopupMenuLv1, ListView1, "PuLv1Abhaken", QStringLiteral("Alle a&bhaken"));
    PuLv1AlleMarkiertenAnhaken =
        MenuAktion(PopupMenuLv1, ListView1, "PuLv1AlleMarkiertenAnhaken", QStringLiteral("Alle markierten anhaken"));
    PuLv1AlleMarkiertenAbhaken =
        MenuAktion(PopupMenuLv1, ListView1, "PuLv1AlleMarkiertenAbhaken", QStringLiteral("Alle markierten abhaken"));
    PuLv1AlleMarkieren = MenuAktion(PopupMenuLv1, ListView1, "PuLv1AlleMarkieren", QStringLiteral("Alle &markieren"),
                                    QKeySequence(Qt::CTRL | Qt::Key_A));
    PuLv1Wiedergabe = MenuAktion(PopupMenuLv1, ListView1, "PuLv1Wiedergabe",
                                 QStringLiteral("&Wiedergabe starten/stoppen"), QKeySequence(Qt::CTRL | Qt::Key_W));
    PuLv1Dateipfad = MenuAktion(PopupMenuLv1, ListView1, "PuLv1Dateipfad", QStringLiteral("&Dateipfad öffnen..."),
                                QKeySequence(Qt::CTRL | Qt::Key_D));
    ListenMenuSetzen(ListView1, PopupMenuLv1);
    connect(PopupMenuLe1, &QMenu::aboutToShow, this, &TMp3AddDlg::MenusAktualisieren);
    connect(PopupMenuLv1, &QMenu::aboutToShow, this, &TMp3AddDlg::MenusAktualisieren);
    connect(ListView1, &QTreeWidget::currentItemChanged, this, &TMp3AddDlg::MenusAktualisieren);
    connect(ListView1, &QTreeWidget::itemSelectionChanged, this, &TMp3AddDlg::MenusAktualisieren);

    connect(Btn1Ok, &QPushButton::clicked, this, [this] { BtnClick(1); });
    connect(Btn2Abbrechen, &QPushButton::clicked, this, [this] { BtnClick(2); });
    connect(Btn3Wechseln, &QPushButton::clicked, this, [this] { BtnClick(3); });
    connect(PuLe1Wechseln, &QAction::triggered, this, [this] { BtnClick(3); });
    connect(PuLe1Dateipfad, &QAction::triggered, this, [this] { DateipfadClick(1); });
    connect(PuLv1Dateipfad, &QAction::triggered, this, [this] { DateipfadClick(2); });
    connect(PuLv1Anhaken, &QAction::triggered, this, [this] { Anhaken(1, true); });
    connect(PuLv1Abhaken, &QAction::triggered, this, [this] { Anhaken(2, true); });
    connect(PuLv1AlleMarkiertenAnhaken, &QAction::triggered, this, [this] { Anhaken(1, false); });
    connect(PuLv1AlleMarkiertenAbhaken, &QAction::triggered, this, [this] { Anhaken(2, false); });
    connect(PuLv1AlleMarkieren, &QAction::triggered, ListView1, &QTreeWidget::selectAll);
    connect(PuLv1Wiedergabe, &QAction::triggered, this, &TMp3AddDlg::WiedergabeClick);
    connect(Cb1Unterordner, &QCheckBox::clicked, this, [this] { Timer1Laden.start(); });

    Timer1Laden.setSingleShot(true);
    Timer1Laden.setInterval(5);
    connect(&Timer1Laden, &QTimer::timeout, this, &TMp3AddDlg::Timer1LadenTimer);
    CaptionZuweisen();
    MenusAktualisieren();
}

TMp3AddDlg::~TMp3AddDlg()
{
    DateiSuche().SucheAbbrechen = true;
}

void TMp3AddDlg::CaptionZuweisen()
{
    setWindowTitle(QStringLiteral("Dateien zusammenfügen"));
    Le1OrdnerLabel->setText(QStringLiteral("&Ordner:"));
    Le1OrdnerLabel->setBuddy(Le1Ordner);
    FeldNameSetzen(Le1Ordner, QStringLiteral("Ordner"));
    LabelKlickFokussiert(Le1OrdnerLabel, Le1Ordner);
    Btn3Wechseln->setText(QStringLiteral("W&echseln..."));
    Cb1Unterordner->setText(QStringLiteral("&Unterordner durchsuchen"));
    Btn1Ok->setText(QStringLiteral("&Weiter"));
    Btn2Abbrechen->setText(QStringLiteral("S&chließen"));
}

void TMp3AddDlg::SchalterEinrichten()
{
    const QRect schirm = Bildschirm(this);
    const int breite = schirm.width();
    const int hoehe = static_cast<int>(std::trunc(static_cast<long double>(schirm.height()) / 100 * 95));
    // The frame is the window manager's; the client area takes the whole window size here.
    setFixedSize(breite, hoehe);

    const int knopfBreite = std::min(KnopfBreite({Btn1Ok, Btn2Abbrechen, Btn3Wechseln}), (breite - 3 * 10) / 2);
    const int knopfHoehe = SchriftHoehe(Btn1Ok->font(), TSchalterArt::Button);
    Btn3Wechseln->setGeometry(breite - 10 - knopfBreite, 10, knopfBreite, knopfHoehe);
    const int labelBreite = TextBreite(Le1OrdnerLabel->font(), Le1OrdnerLabel->text());
    const int labelHoehe = SchriftHoehe(Le1OrdnerLabel->font());
    // The label measures from the left edge; the field starts 10 pixels beyond its width.
    const int feldLinks = labelBreite + 10;
    const int feldHoehe = SchriftHoehe(Le1Ordner->font(), TSchalterArt::Edit);
    Le1Ordner->setGeometry(feldLinks, MittigOben(10, knopfHoehe, feldHoehe), Btn3Wechseln->x() - 10 - feldLinks,
                           feldHoehe);
    Le1OrdnerLabel->setGeometry(feldLinks - 5 - labelBreite, MittigOben(Le1Ordner->y(), feldHoehe, labelHoehe),
                                labelBreite, labelHoehe);
    // 250 pixels, wider where a large font needs more for the caption.
    const int boxBreite = std::min(std::max(250, Cb1Unterordner->sizeHint().width()), breite - 20);
    Cb1Unterordner->setGeometry(10, 10 + knopfHoehe + 10, boxBreite,
                                SchriftHoehe(Cb1Unterordner->font(), TSchalterArt::CheckBox));

    const int knopfOben = hoehe - 10 - knopfHoehe;
    const int g = (breite - 2 * knopfBreite) / 3;
    Btn1Ok->setGeometry(g, knopfOben, knopfBreite, knopfHoehe);
    Btn2Abbrechen->setGeometry(2 * g + knopfBreite, knopfOben, knopfBreite, knopfHoehe);
    const int listeOben = Cb1Unterordner->geometry().bottom() + 1 + 10;
    ListView1->setGeometry(10, listeOben, breite - 20, knopfOben - 10 - listeOben);
    SpaltenBreitenSetzen(ListView1);
}

void TMp3AddDlg::showEvent(QShowEvent *event)
{
    TDialogBasis::showEvent(event);
    if (event->spontaneous())
        return;
    SetOrdner(Arbeitsordner(), false);
    Le1Ordner->selectAll();
    Timer1Laden.start();
}

void TMp3AddDlg::SetOrdner(const QString &S, bool DateianzahlS)
{
    if (DateianzahlS)
        Le1Ordner->setText(QStringLiteral("%1 (%2 gefunden)").arg(S).arg(DateiSuche().Fundliste.size()));
    else
        Le1Ordner->setText(S);
    Le1Ordner->setFocus(Qt::OtherFocusReason);
    Btn1Ok->setEnabled(ListView1->topLevelItemCount() > 0);
}

void TMp3AddDlg::done(int result)
{
    WiedergabeAnhalten(*MediaPlayer1);
    DateiSuche().SucheAbbrechen = true;
    MediaPlayer1->Close();
    TDialogBasis::done(result);
}

void TMp3AddDlg::Timer1LadenTimer()
{
    Timer1Laden.stop();
    WiedergabeAnhalten(*MediaPlayer1);
    {
        TSucheDlg suche(this);
        suche.Ordner = Arbeitsordner();
        suche.UnterOrdnerS = Cb1Unterordner->isChecked();
        suche.exec();
    }
    ListView1->setUpdatesEnabled(false);
    ListView1->clear();
    for (const TDateiRec &r : DateiSuche().Fundliste) {
        auto *zeile = new QTreeWidgetItem(ListView1);
        zeile->setFlags(zeile->flags() | Qt::ItemIsUserCheckable);
        zeile->setCheckState(0, Qt::Checked);
        ZeileSchreiben(ListView1, zeile, r);
    }
    if (QTreeWidgetItem *erste = ListView1->topLevelItem(0)) {
        ListView1->setCurrentItem(erste);
        ListView1->scrollToItem(erste);
    }
    ListView1->setUpdatesEnabled(true);
    SetOrdner(Arbeitsordner(), true);
    MenusAktualisieren();
}

void TMp3AddDlg::BtnClick(int tag)
{
    switch (tag) {
    case 1:
        Weiter();
        break;
    case 2:
        WiedergabeAnhalten(*MediaPlayer1);
        DateiSuche().SucheAbbrechen = true;
        reject();
        break;
    case 3:
        Wechseln();
        break;
    }
}

void TMp3AddDlg::Weiter()
{
    WiedergabeAnhalten(*MediaPlayer1);
    if (DateiSuche().SucheLaeuft) {
        MeldungZeigen(QStringLiteral("Es wird noch nach Dateien gesucht!"), TMeldungArt::Information,
                      TMeldungKnoepfe::Ok, this);
        return;
    }
    const TDateiliste &fund = DateiSuche().Fundliste;
    TDateiliste liste;
    for (int i = 0; i < fund.size() && i < ListView1->topLevelItemCount(); ++i)
        if (ListView1->topLevelItem(i)->checkState(0) == Qt::Checked)
            liste.append(fund[i]);
    if (liste.isEmpty()) {
        MeldungZeigen(QStringLiteral("Es sind keine Dateien ausgewählt!"), TMeldungArt::Information,
                      TMeldungKnoepfe::Ok, this);
        return;
    }
    TSpeichernDlg dlg(this);
    dlg.Liste = liste;
    dlg.exec();
}

void TMp3AddDlg::Wechseln()
{
    WiedergabeAnhalten(*MediaPlayer1);
    TOrdnerDlg dlg(this);
    dlg.setDirectory(Arbeitsordner());
    if (dlg.exec() == QDialog::Accepted) {
        ArbeitsordnerSetzen(dlg.Directory());
        SetOrdner(Arbeitsordner(), false);
        Timer1Laden.start();
    }
}

void TMp3AddDlg::Anhaken(int tag, bool alle)
{
    const Qt::CheckState zustand = tag == 1 ? Qt::Checked : Qt::Unchecked;
    ListView1->setUpdatesEnabled(false);
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        QTreeWidgetItem *zeile = ListView1->topLevelItem(i);
        if (alle || zeile->isSelected())
            zeile->setCheckState(0, zustand);
    }
    ListView1->setUpdatesEnabled(true);
}

void TMp3AddDlg::WiedergabeClick()
{
    const int i = ListView1->indexOfTopLevelItem(ListView1->currentItem());
    if (i < 0 || i >= DateiSuche().Fundliste.size())
        return;
    WiedergabeUmschalten(*MediaPlayer1, DateiSuche().Fundliste[i].Filename, this);
}

void TMp3AddDlg::DateipfadClick(int tag)
{
    QString ordner = Arbeitsordner();
    if (tag == 2) {
        const int i = ListView1->indexOfTopLevelItem(ListView1->currentItem());
        if (i < 0 || i >= DateiSuche().Fundliste.size())
            return;
        ordner = DateiOrdner(DateiSuche().Fundliste[i].Filename);
    }
    if (QDir(ordner).exists())
        ShellOeffnen(this, ordner, QString(), SW_SHOWNORMAL, QStringLiteral("open"), QString());
}

void TMp3AddDlg::MenusAktualisieren()
{
    const bool zeilen = ListView1->topLevelItemCount() > 0;
    const bool markiert = !ListView1->selectedItems().isEmpty();
    QTreeWidgetItem *aktuell = ListView1->currentItem();
    const int i = ListView1->indexOfTopLevelItem(aktuell);
    const bool hatDatei = i >= 0 && i < DateiSuche().Fundliste.size();
    PuLe1Dateipfad->setEnabled(QDir(Arbeitsordner()).exists());
    PuLv1Anhaken->setEnabled(zeilen);
    PuLv1Abhaken->setEnabled(zeilen);
    PuLv1AlleMarkiertenAnhaken->setEnabled(markiert);
    PuLv1AlleMarkiertenAbhaken->setEnabled(markiert);
    PuLv1AlleMarkieren->setEnabled(zeilen);
    PuLv1Wiedergabe->setEnabled(hatDatei);
    PuLv1Dateipfad->setEnabled(hatDatei && QDir(DateiOrdner(DateiSuche().Fundliste[i].Filename)).exists());
}
