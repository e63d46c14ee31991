#include "ui/common/lineeditaccess.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QValidator>
#include <algorithm>
#include <functional>

TZeilenFeldZugang::TZeilenFeldZugang(QLineEdit *feld) : QAccessibleWidget(feld, QAccessible::EditableText)
{
    addControllingSignal(QStringLiteral("textChanged(const QString&)"));
    addControllingSignal(QStringLiteral("returnPressed()"));
}

QLineEdit *TZeilenFeldZugang::Feld() const
{
    return static_cast<QLineEdit *>(object());
}

bool TZeilenFeldZugang::Verdeckt() const
{
    return Feld()->echoMode() != QLineEdit::Normal;
}

QString TZeilenFeldZugang::text(QAccessible::Text t) const
{
    QString s;
    if (t == QAccessible::Value) {
        if (!Verdeckt())
            s = Feld()->text();
        else if (Feld()->echoMode() != QLineEdit::NoEcho)
            s = QString(Feld()->text().size(), QLatin1Char('*'));
    }
    if (s.isEmpty())
        s = QAccessibleWidget::text(t);
    if (s.isEmpty() && t == QAccessible::Description)
        s = Feld()->placeholderText();
    return s;
}

void TZeilenFeldZugang::setText(QAccessible::Text t, const QString &text)
{
    if (t != QAccessible::Value) {
        QAccessibleWidget::setText(t, text);
        return;
    }
    if (Feld()->isReadOnly())
        return;
    QString neu = text;
    if (const QValidator *v = Feld()->validator()) {
        int pos = 0;
        v->fixup(neu);
        if (v->validate(neu, pos) != QValidator::Acceptable)
            return;
    }
    Feld()->setText(neu);
}

QAccessible::State TZeilenFeldZugang::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    if (Feld()->isReadOnly())
        s.readOnly = true;
    else
        s.editable = true;
    s.passwordEdit = Verdeckt();
    s.selectable = true;
    if (Feld()->hasSelectedText())
        s.selected = true;
    const Qt::ContextMenuPolicy menu = Feld()->contextMenuPolicy();
    if (menu != Qt::NoContextMenu && menu != Qt::PreventContextMenu)
        s.hasPopup = true;
    return s;
}

void *TZeilenFeldZugang::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    if (t == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface *>(this);
    return QAccessibleWidget::interface_cast(t);
}

void TZeilenFeldZugang::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || !Feld()->hasSelectedText())
        return;
    *startOffset = Feld()->selectionStart();
    *endOffset = *startOffset + int(Feld()->selectedText().size());
}

int TZeilenFeldZugang::selectionCount() const
{
    return Feld()->hasSelectedText() ? 1 : 0;
}

void TZeilenFeldZugang::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void TZeilenFeldZugang::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        Feld()->deselect();
}

void TZeilenFeldZugang::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        Feld()->setSelection(startOffset, endOffset - startOffset);
}

int TZeilenFeldZugang::cursorPosition() const
{
    return Feld()->cursorPosition();
}

void TZeilenFeldZugang::setCursorPosition(int position)
{
    Feld()->setCursorPosition(position);
}

QString TZeilenFeldZugang::text(int startOffset, int endOffset) const
{
    if (startOffset > endOffset)
        return {};
    if (Verdeckt())
        return QString(endOffset - startOffset, QLatin1Char('*'));
    return Feld()->displayText().mid(startOffset, endOffset - startOffset);
}

// A hidden text tells nothing of its words; -2 asks at the caret.
QString TZeilenFeldZugang::Umgebung(int offset, int *startOffset, int *endOffset,
                                    const std::function<QString(int)> &suche) const
{
    if (Verdeckt()) {
        *startOffset = *endOffset = -1;
        return {};
    }
    if (offset == -2)
        offset = cursorPosition();
    return suche(offset);
}

QString TZeilenFeldZugang::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
                                            int *endOffset) const
{
    return Umgebung(offset, startOffset, endOffset, [&](int o) {
        return QAccessibleTextInterface::textBeforeOffset(o, boundaryType, startOffset, endOffset);
    });
}

QString TZeilenFeldZugang::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
                                           int *endOffset) const
{
    return Umgebung(offset, startOffset, endOffset, [&](int o) {
        return QAccessibleTextInterface::textAfterOffset(o, boundaryType, startOffset, endOffset);
    });
}

QString TZeilenFeldZugang::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
                                        int *endOffset) const
{
    return Umgebung(offset, startOffset, endOffset, [&](int o) {
        return QAccessibleTextInterface::textAtOffset(o, boundaryType, startOffset, endOffset);
    });
}

int TZeilenFeldZugang::characterCount() const
{
    return int(Feld()->displayText().size());
}

// Measured from the text's start as the field draws it unscrolled; enough for a magnifier to
// follow a field that shows its whole value.
QRect TZeilenFeldZugang::characterRect(int offset) const
{
    const QString t = Feld()->displayText();
    if (offset < 0 || offset >= t.size())
        return {};
    QStyleOptionFrame option;
    option.initFrom(Feld());
    const QRect innen = Feld()->style()->subElementRect(QStyle::SE_LineEditContents, &option, Feld())
                            .marginsRemoved(Feld()->textMargins());
    const QFontMetrics fm(Feld()->font());
    const int x = innen.x() + 2 + fm.horizontalAdvance(t.left(offset));
    const QRect r(x, innen.y() + (innen.height() - fm.height()) / 2, fm.horizontalAdvance(t.at(offset)), fm.height());
    return QRect(Feld()->mapToGlobal(r.topLeft()), r.size());
}

int TZeilenFeldZugang::offsetAtPoint(const QPoint &point) const
{
    const QPoint p = Feld()->mapFromGlobal(point);
    if (!Feld()->rect().contains(p))
        return -1;
    return Feld()->cursorPositionAt(p);
}

void TZeilenFeldZugang::scrollToSubstring(int startIndex, int endIndex)
{
    Feld()->setCursorPosition(endIndex);
    Feld()->setCursorPosition(startIndex);
}

QString TZeilenFeldZugang::attributes(int offset, int *startOffset, int *endOffset) const
{
    const int n = characterCount();
    if (offset < 0 || offset >= n) {
        *startOffset = *endOffset = std::clamp(offset, 0, n);
        return {};
    }
    *startOffset = 0;
    *endOffset = n;
    return {};
}

void TZeilenFeldZugang::deleteText(int startOffset, int endOffset)
{
    if (!Feld()->isReadOnly())
        Feld()->setText(Feld()->text().remove(startOffset, endOffset - startOffset));
}

void TZeilenFeldZugang::insertText(int offset, const QString &text)
{
    if (!Feld()->isReadOnly())
        Feld()->setText(Feld()->text().insert(offset, text));
}

void TZeilenFeldZugang::replaceText(int startOffset, int endOffset, const QString &text)
{
    if (!Feld()->isReadOnly())
        Feld()->setText(Feld()->text().replace(startOffset, endOffset - startOffset, text));
}
