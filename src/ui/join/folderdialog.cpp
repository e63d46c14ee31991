#include "ui/join/folderdialog.h"

#include "platform/drives.h"
#include "platform/userfolders.h"
#include "ui/common/appearance.h"
#include "ui/common/fieldnames.h"
#include "ui/common/messages.h"
#include "ui/common/windowmeasures.h"
#include "ui/join/joinlist.h"

#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStorageInfo>
#include <QTreeWidget>
#include <algorithm>
#include <cmath>

namespace {

QString mitSchraegstrich(const QString &ordner)
{
    return ordner.endsWith(QLatin1Char('/')) ? ordner : ordner + QLatin1Char('/');
}

QString ohneSchraegstrich(QString ordner)
{
    while (ordner.size() > 1 && ordner.endsWith(QLatin1Char('/')))
        ordner.chop(1);
    return ordner;
}

// `ordner` lies in `wurzel` or is it.
bool liegtIn(const QString &ordner, const QString &wurzel)
{
    return mitSchraegstrich(ordner).startsWith(mitSchraegstrich(wurzel));
}

} // namespace

TOrdnerDlg::TOrdnerDlg(QWidget *parent) : TDialogBasis(parent)
{
    setObjectName(QStringLiteral("OrdnerDlg"));
    LeOrdnerLabel = new QLabel(this);
    LeOrdnerLabel->setObjectName(QStringLiteral("LeOrdnerLabel"));
    LeOrdner = new QLineEdit(this);
    LeOrdner->setObjectName(QStringLiteral("LeOrdner"));
    LeOrdner->setReadOnly(true);
    // No edit menu on the field.
    LeOrdner->setContextMenuPolicy(Qt::PreventContextMenu);
    LeOrdner->installEventFilter(this);
    DriveComboBox1 = new QComboBox(this);
    DriveComboBox1->setObjectName(QStringLiteral("DriveComboBox1"));
    DriveComboBox1->setAccessibleName(QStringLiteral("Laufwerk"));
    // A screen reader on this system names a combo box by the label it belongs to, not by its
    // accessible name; the box has no visible label, so an invisible one names it.
    DriveComboBox1Label = new QLabel(QStringLiteral("Laufwerk"), this);
    DriveComboBox1Label->setObjectName(QStringLiteral("DriveComboBox1Label"));
    DriveComboBox1Label->setBuddy(DriveComboBox1);
    DriveComboBox1Label->hide();
    DirectoryListBox1 = new QTreeWidget(this);
    DirectoryListBox1->setObjectName(QStringLiteral("DirectoryListBox1"));
    DirectoryListBox1->setAccessibleName(QStringLiteral("Ordnerliste"));
    DirectoryListBox1->setHeaderHidden(true);
    DirectoryListBox1->setColumnCount(1);
    DirectoryListBox1->setRootIsDecorated(false);
    DirectoryListBox1->setItemsExpandable(false);
    DirectoryListBox1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DirectoryListBox1->installEventFilter(this);
    Btn1Ok = new QPushButton(this);
    Btn1Ok->setObjectName(QStringLiteral("Btn1Ok"));
    Btn2Abbrechen = new QPushButton(this);
    Btn2Abbrechen->setObjectName(QStringLiteral("Btn2Abbrechen"));
    setTabOrder(LeOrdner, DriveComboBox1);
    setTabOrder(DriveComboBox1, DirectoryListBox1);
    setTabOrder(DirectoryListBox1, Btn1Ok);
    setTabOrder(Btn1Ok, Btn2Abbrechen);

    connect(Btn1Ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(Btn2Abbrechen, &QPushButton::clicked, this, &QDialog::reject);
    connect(DriveComboBox1, &QComboBox::activated, this, &TOrdnerDlg::LaufwerkGewaehlt);
    connect(DirectoryListBox1, &QTreeWidget::currentItemChanged, this, &TOrdnerDlg::OrdnerGewaehlt);
    connect(DirectoryListBox1, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem *zeile) { OrdnerOeffnen(zeile->data(0, Qt::UserRole).toString()); });

    for (const QString &pfad : Laufwerke())
        DriveComboBox1->addItem(pfad, pfad);
    FOrdner = Arbeitsordner();
    CaptionZuweisen();
}

QStringList TOrdnerDlg::Laufwerke()
{
    QStringList pfade;
    const auto dazu = [&pfade](const QString &pfad) {
        const QString p = ohneSchraegstrich(pfad);
        if (!p.isEmpty() && !pfade.contains(p))
            pfade.append(p);
    };
    dazu(QDir::homePath());
    dazu(SpezialOrdner(nullptr, CSIDL_PERSONAL));
    QStringList volumes;
    for (const QStorageInfo &v : QStorageInfo::mountedVolumes())
        volumes.append(v.rootPath());
    volumes.sort();
    for (const QString &v : volumes)
        dazu(v);
    return pfade;
}

void TOrdnerDlg::CaptionZuweisen()
{
    setWindowTitle(QStringLiteral("Neuen Ordner wählen"));
    LeOrdnerLabel->setText(QStringLiteral("Neuer &Ordner:"));
    LeOrdnerLabel->setBuddy(LeOrdner);
    FeldNameSetzen(LeOrdner, QStringLiteral("Neuer Ordner"));
    LabelKlickFokussiert(LeOrdnerLabel, LeOrdner);
    Btn1Ok->setText(QStringLiteral("O&K"));
    Btn2Abbrechen->setText(QStringLiteral("&Abbrechen"));
}

void TOrdnerDlg::SchriftartZuweisen()
{
    SchriftartAnwenden(this, ProgrammAussehen(), TKnopfSchrift::NameGroesseUndStil);
}

void TOrdnerDlg::SchalterEinrichten()
{
    const QRect schirm = Bildschirm(this);
    const int breite = static_cast<int>(std::trunc(static_cast<long double>(schirm.width()) / 100 * 70));
    const int hoehe = static_cast<int>(std::trunc(static_cast<long double>(schirm.height()) / 100 * 90));
    setFixedSize(breite, hoehe);
    const int labelBreite = TextBreite(LeOrdnerLabel->font(), LeOrdnerLabel->text());
    const int feldLinks = labelBreite + 10;
    const int feldHoehe = SchriftHoehe(LeOrdner->font(), TSchalterArt::Edit);
    // With a large font the label would leave the field no width at all; it then reaches to
    // 10 pixels from the right edge.
    int feldBreite = breite - 2 * feldLinks;
    if (feldBreite < breite / 3)
        feldBreite = breite - feldLinks - 10;
    LeOrdner->setGeometry(feldLinks, 10, feldBreite, feldHoehe);
    const int labelHoehe = SchriftHoehe(LeOrdnerLabel->font());
    LeOrdnerLabel->setGeometry(feldLinks - 5 - labelBreite, MittigOben(10, feldHoehe, labelHoehe), labelBreite,
                               labelHoehe);
    const int boxOben = 10 + feldHoehe + 10;
    const int boxHoehe = std::max(DriveComboBox1->sizeHint().height(), feldHoehe);
    DriveComboBox1->setGeometry(10, boxOben, breite - 20, boxHoehe);
    const int knopfHoehe = SchriftHoehe(Btn1Ok->font(), TSchalterArt::Button);
    const int knopfOben = hoehe - 10 - knopfHoehe;
    const int listeOben = boxOben + boxHoehe + 10;
    DirectoryListBox1->setGeometry(10, listeOben, breite - 20, knopfOben - 10 - listeOben);
    // On a small screen the buttons share what the window has rather than overlap.
    const int knopfBreite = std::min(KnopfBreite({Btn1Ok, Btn2Abbrechen}), (breite - 3 * 10) / 2);
    const int g = (breite - 2 * knopfBreite) / 3;
    Btn1Ok->setGeometry(g, knopfOben, knopfBreite, knopfHoehe);
    Btn2Abbrechen->setGeometry(2 * g + knopfBreite, knopfOben, knopfBreite, knopfHoehe);
}

void TOrdnerDlg::showEvent(QShowEvent *event)
{
    TDialogBasis::showEvent(event);
    if (event->spontaneous())
        return;
    LaufwerkePruefen();
    setDirectory(FOrdner);
    LeOrdner->setFocus(Qt::OtherFocusReason);
    LeOrdner->selectAll();
}

void TOrdnerDlg::LaufwerkePruefen()
{
    int i = 0;
    while (i < DriveComboBox1->count()) {
        const QString pfad = DriveComboBox1->itemData(i).toString();
        // A documents folder the system names but nobody made is no place to search either.
        if (!LaufwerkBereit(pfad) || !QDir(pfad).exists()) {
            DriveComboBox1->removeItem(i);
            continue;
        }
        if (DriveComboBox1->itemText(i) == pfad)
            DriveComboBox1->setItemText(i, QStringLiteral("%1 [%2]").arg(pfad, LaufwerkName(pfad)));
        ++i;
    }
}

void TOrdnerDlg::setDirectory(const QString &ordner)
{
    // The entry that holds the folder most closely is its drive.
    int beste = -1;
    int laenge = -1;
    for (int i = 0; i < DriveComboBox1->count(); ++i) {
        const QString wurzel = DriveComboBox1->itemData(i).toString();
        if (liegtIn(ordner, wurzel) && wurzel.size() > laenge) {
            beste = i;
            laenge = wurzel.size();
        }
    }
    if (beste >= 0)
        DriveComboBox1->setCurrentIndex(beste);
    FWurzel = beste >= 0 ? DriveComboBox1->itemData(beste).toString() : QStringLiteral("/");
    OrdnerOeffnen(ohneSchraegstrich(ordner));
}

QString TOrdnerDlg::Directory() const
{
    return mitSchraegstrich(FOrdner);
}

void TOrdnerDlg::LaufwerkGewaehlt(int index)
{
    FWurzel = DriveComboBox1->itemData(index).toString();
    OrdnerOeffnen(FWurzel);
}

void TOrdnerDlg::OrdnerOeffnen(const QString &ordner)
{
    // The path from the drive down to the folder, then its subfolders.
    DirectoryListBox1->setUpdatesEnabled(false);
    const QSignalBlocker sperre(DirectoryListBox1);
    DirectoryListBox1->clear();
    const QString ziel = ohneSchraegstrich(ordner);
    QStringList kette;
    for (QString p = ziel; liegtIn(p, FWurzel); p = ohneSchraegstrich(QFileInfo(p).path())) {
        kette.prepend(p);
        if (p == FWurzel || p == QLatin1String("/"))
            break;
    }
    QTreeWidgetItem *eltern = nullptr;
    for (const QString &p : kette) {
        const QString name = p == FWurzel ? p : QFileInfo(p).fileName();
        auto *zeile = eltern ? new QTreeWidgetItem(eltern, {name}) : new QTreeWidgetItem(DirectoryListBox1, {name});
        zeile->setData(0, Qt::UserRole, p);
        eltern = zeile;
    }
    if (eltern) {
        const QStringList unter =
            QDir(ziel).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
        for (const QString &name : unter) {
            auto *zeile = new QTreeWidgetItem(eltern, {name});
            zeile->setData(0, Qt::UserRole, mitSchraegstrich(ziel) + name);
        }
    }
    DirectoryListBox1->expandAll();
    DirectoryListBox1->setCurrentItem(eltern);
    DirectoryListBox1->setUpdatesEnabled(true);
    FOrdner = ziel;
    LeOrdner->setText(mitSchraegstrich(FOrdner));
}

void TOrdnerDlg::OrdnerGewaehlt()
{
    if (QTreeWidgetItem *zeile = DirectoryListBox1->currentItem()) {
        FOrdner = zeile->data(0, Qt::UserRole).toString();
        LeOrdner->setText(mitSchraegstrich(FOrdner));
    }
}

bool TOrdnerDlg::eventFilter(QObject *ziel, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int taste = static_cast<QKeyEvent *>(event)->key();
        const bool eingabe = taste == Qt::Key_Return || taste == Qt::Key_Enter;
        if (eingabe && ziel == LeOrdner) {
            Btn1Ok->click();
            return true;
        }
        // Enter opens the chosen folder: its subfolders appear below it.
        if (eingabe && ziel == DirectoryListBox1 && DirectoryListBox1->currentItem()) {
            OrdnerOeffnen(DirectoryListBox1->currentItem()->data(0, Qt::UserRole).toString());
            return true;
        }
    }
    return TDialogBasis::eventFilter(ziel, event);
}

void TOrdnerDlg::done(int result)
{
    if (result == QDialog::Accepted && !QDir(FOrdner).exists()) {
        MeldungZeigen(QStringLiteral("Der Ordner \"%1\" existiert nicht!").arg(FOrdner), TMeldungArt::Information,
                      TMeldungKnoepfe::Ok, this);
        LeOrdner->setFocus(Qt::OtherFocusReason);
        LeOrdner->selectAll();
        return;
    }
    TDialogBasis::done(result);
}
