#include "ui/join/joinlist.h"

#include "platform/player.h"
#include "platform/userfolders.h"
#include "ui/common/messages.h"

#include <QAction>
#include <QCursor>
#include <QEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTreeWidget>

namespace {

class TLabelKlick : public QObject {
public:
    TLabelKlick(QLabel *label, QWidget *feld) : QObject(label), FFeld(feld) { label->installEventFilter(this); }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonRelease && FFeld)
            FFeld->setFocus(Qt::MouseFocusReason);
        return false;
    }

private:
    QPointer<QWidget> FFeld;
};

class TMenuTaste : public QObject {
public:
    explicit TMenuTaste(QTreeWidget *liste) : QObject(liste), FListe(liste) { liste->installEventFilter(this); }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Menu &&
            FListe->currentItem())
            FListe->scrollToItem(FListe->currentItem());
        return false;
    }

private:
    QTreeWidget *FListe;
};

// Grid lines between the cells, as the report list draws them.
class TGitterDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        painter->save();
        painter->setPen(option.palette.color(QPalette::Mid));
        painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
        painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
        painter->restore();
    }
};

} // namespace

void DateiListeEinrichten(QTreeWidget *liste, const QString &name)
{
    liste->setObjectName(QStringLiteral("ListView1"));
    liste->setAccessibleName(name);
    liste->setRootIsDecorated(false);
    liste->setItemsExpandable(false);
    liste->setUniformRowHeights(true);
    liste->setAllColumnsShowFocus(true);
    liste->setSelectionBehavior(QAbstractItemView::SelectRows);
    liste->setEditTriggers(QAbstractItemView::NoEditTriggers);
    liste->setSortingEnabled(false);
    liste->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    liste->setItemDelegate(new TGitterDelegate(liste));
    liste->clear();
    liste->setColumnCount(3);
    liste->setHeaderLabels({QStringLiteral("Dateiname"), QStringLiteral("Dauer"), QStringLiteral("Größe")});
    liste->header()->setDefaultAlignment(Qt::AlignCenter);
    liste->header()->setSectionsMovable(false);
    liste->header()->setStretchLastSection(false);
}

void SpaltenBreitenSetzen(QTreeWidget *liste)
{
    const TSpaltenBreiten b = SpaltenBreiten(liste->width());
    liste->setColumnWidth(0, b.Dateiname);
    liste->setColumnWidth(1, b.Dauer);
    liste->setColumnWidth(2, b.Groesse);
}

void ZeileSchreiben(QTreeWidget *liste, QTreeWidgetItem *zeile, const TDateiRec &r)
{
    const QFontMetrics fm(liste->font());
    // Room for the cell's margins, so a caption that fits is never cut by the view itself.
    const int rand = 2 * liste->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, liste) + 8;
    const TDateiZeile z = DateiZeile(r, Arbeitsordner(), liste->columnWidth(0) - rand,
                                     [&fm](const QString &text) { return fm.horizontalAdvance(text); });
    zeile->setText(0, z.Dateiname);
    zeile->setText(1, z.Dauer);
    zeile->setText(2, z.Groesse);
    for (int spalte = 0; spalte < 3; ++spalte)
        zeile->setTextAlignment(spalte, Qt::AlignCenter);
}

void ListenMenuSetzen(QTreeWidget *liste, QMenu *menu)
{
    new TMenuTaste(liste);
    liste->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(liste, &QWidget::customContextMenuRequested, menu, [liste, menu](const QPoint &pos) {
        QTreeWidgetItem *zeile = liste->currentItem();
        const bool maus = liste->viewport()->rect().contains(liste->viewport()->mapFromGlobal(QCursor::pos()));
        menu->popup(liste->viewport()->mapToGlobal(zeile && !maus ? liste->visualItemRect(zeile).center() : pos));
    });
}

void WiedergabeUmschalten(TMediaPlayer &player, const QString &datei, QWidget *fenster)
{
    if (player.Mode() == TMPModes::mpPlaying) {
        player.Stop();
        return;
    }
    player.setFileName(datei);
    try {
        player.Open();
        player.Play();
    } catch (const EMCIDeviceError &fehler) {
        MeldungZeigen(fehler.message(), TMeldungArt::Fehler, TMeldungKnoepfe::Ok, fenster);
    }
}

void WiedergabeAnhalten(TMediaPlayer &player)
{
    if (player.Mode() == TMPModes::mpPlaying)
        player.Stop();
}

void LabelKlickFokussiert(QLabel *label, QWidget *feld)
{
    new TLabelKlick(label, feld);
}

QString DateiOrdner(const QString &datei)
{
    return QFileInfo(datei).path() + QLatin1Char('/');
}

QAction *MenuAktion(QMenu *menu, QWidget *besitzer, const char *name, const QString &text, const QKeySequence &taste)
{
    auto *a = new QAction(text, menu);
    a->setObjectName(QLatin1String(name));
    if (!taste.isEmpty()) {
        a->setShortcut(taste);
        a->setShortcutContext(Qt::WidgetShortcut);
        besitzer->addAction(a);
    }
    menu->addAction(a);
    return a;
}
