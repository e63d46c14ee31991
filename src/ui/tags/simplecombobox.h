#pragma once

#include <QStringList>
#include <QWidget>

class QLineEdit;
class QListWidget;

// A combo box of the simple kind: an edit with its list always visible below it, filling the
// rest of the control's height. The edit takes the focus; Up, Down, Page Up and Page Down in it
// choose from the list, and typing may give any text, listed or not. Its accessible role is
// that of a combo box, holding the edit and the list.
class TEinfacheComboBox : public QWidget {
    Q_OBJECT
public:
    explicit TEinfacheComboBox(QWidget *parent = nullptr);

    void setItems(const QStringList &items);
    QString text() const;
    void setText(const QString &text);
    // The list row showing `text` (compared without regard to case), or none.
    void selectItem(const QString &text);

    // Height of the edit part; the list takes the rest.
    void setEditHeight(int height);

    QLineEdit *edit() const { return FEdit; }
    QListWidget *list() const { return FListe; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void zeileWaehlen(int row);
    void zeileZeigen(int row);
    void listeNachfuehren(const QString &text);
    void anordnen();

    QLineEdit *FEdit;
    QListWidget *FListe;
    int FEditHoehe = 0;
};
