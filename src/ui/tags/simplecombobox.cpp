#include "ui/tags/simplecombobox.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <algorithm>

namespace {

QAccessibleInterface *ComboBoxZugang(const QString &klasse, QObject *objekt)
{
    if (klasse == QLatin1String("TEinfacheComboBox") && objekt && objekt->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(objekt), QAccessible::ComboBox);
    return nullptr;
}

} // namespace

TEinfacheComboBox::TEinfacheComboBox(QWidget *parent)
    : QWidget(parent), FEdit(new QLineEdit(this)), FListe(new QListWidget(this))
{
    static const bool zugang = [] {
        QAccessible::installFactory(ComboBoxZugang);
        return true;
    }();
    Q_UNUSED(zugang);

    setFocusProxy(FEdit);
    setFocusPolicy(FEdit->focusPolicy());
    // As in a simple combo box the list is chosen from the edit; it is no tab stop of its own.
    FListe->setFocusPolicy(Qt::NoFocus);
    FListe->setSelectionMode(QAbstractItemView::SingleSelection);
    FEdit->installEventFilter(this);

    connect(FEdit, &QLineEdit::textEdited, this, &TEinfacheComboBox::listeNachfuehren);
    connect(FListe, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        FEdit->setText(item->text());
        FEdit->setFocus(Qt::MouseFocusReason);
    });
}

void TEinfacheComboBox::setItems(const QStringList &items)
{
    FListe->clear();
    FListe->addItems(items);
}

QString TEinfacheComboBox::text() const
{
    return FEdit->text();
}

void TEinfacheComboBox::setText(const QString &text)
{
    FEdit->setText(text);
}

void TEinfacheComboBox::selectItem(const QString &text)
{
    const QList<QListWidgetItem *> gefunden = FListe->findItems(text, Qt::MatchFixedString);
    zeileZeigen(gefunden.isEmpty() ? -1 : FListe->row(gefunden.first()));
}

void TEinfacheComboBox::setEditHeight(int height)
{
    FEditHoehe = height;
    anordnen();
}

void TEinfacheComboBox::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    anordnen();
}

void TEinfacheComboBox::anordnen()
{
    const int editHoehe = FEditHoehe > 0 ? FEditHoehe : FEdit->sizeHint().height();
    FEdit->setGeometry(0, 0, width(), editHoehe);
    FListe->setGeometry(0, editHoehe, width(), std::max(0, height() - editHoehe));
}

bool TEinfacheComboBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == FEdit && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))
            return false;
        const int zeilen = FListe->count();
        const int seite = std::max(1, FListe->viewport()->height() / std::max(1, FListe->sizeHintForRow(0)) - 1);
        const int jetzt = FListe->currentRow();
        switch (key->key()) {
        case Qt::Key_Down:
            zeileWaehlen(jetzt < 0 ? 0 : std::min(jetzt + 1, zeilen - 1));
            return true;
        case Qt::Key_Up:
            zeileWaehlen(jetzt < 0 ? 0 : std::max(jetzt - 1, 0));
            return true;
        case Qt::Key_PageDown:
            zeileWaehlen(jetzt < 0 ? 0 : std::min(jetzt + seite, zeilen - 1));
            return true;
        case Qt::Key_PageUp:
            zeileWaehlen(jetzt < 0 ? 0 : std::max(jetzt - seite, 0));
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TEinfacheComboBox::zeileWaehlen(int row)
{
    if (row < 0 || row >= FListe->count())
        return;
    zeileZeigen(row);
    FEdit->setText(FListe->currentItem()->text());
    FEdit->selectAll();
}

// While the user types, the list shows the first entry that begins with the text; the text
// itself stays as typed.
void TEinfacheComboBox::listeNachfuehren(const QString &text)
{
    int row = -1;
    for (int i = 0; !text.isEmpty() && i < FListe->count(); ++i) {
        if (FListe->item(i)->text().startsWith(text, Qt::CaseInsensitive)) {
            row = i;
            break;
        }
    }
    zeileZeigen(row);
}

// The row as current and in view; -1 leaves none current or selected.
void TEinfacheComboBox::zeileZeigen(int row)
{
    if (row < 0) {
        FListe->setCurrentRow(-1);
        FListe->clearSelection();
        return;
    }
    FListe->setCurrentRow(row);
    FListe->scrollToItem(FListe->item(row));
}
