#include "ui/common/fieldnames.h"

#include "platform/screenreaderoutput.h"
#include "support/formatting.h"

#include <QEvent>
#include <QFocusEvent>
#include <QLabel>
#include <utility>

namespace {

TScreenReaderOutput *gAusgabe = nullptr;

// Speaks the field's name when the focus moves to it. Focus that only comes back with the
// window, or from a closing menu, to the field that had it stays silent: the user has not moved.
class TFeldNamensSprecher : public QObject {
public:
    explicit TFeldNamensSprecher(QWidget *feld) : QObject(feld)
    {
        setObjectName(QStringLiteral("FeldNamensSprecher"));
        feld->installEventFilter(this);
    }

    QString Name;
    bool Unterbrochen = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::FocusOut) {
            Unterbrochen = ZurueckOhneBewegung(static_cast<QFocusEvent *>(event)->reason());
        } else if (event->type() == QEvent::FocusIn) {
            // A dialog that shows sends its first field a FocusIn of its own before the window
            // is active; the real one follows with the activation.
            if (!Feld()->hasFocus())
                return false;
            if (!(Unterbrochen && ZurueckOhneBewegung(static_cast<QFocusEvent *>(event)->reason())))
                Vorlesen(Name);
            Unterbrochen = false;
        }
        return false;
    }

private:
    QWidget *Feld() const { return static_cast<QWidget *>(parent()); }
    static bool ZurueckOhneBewegung(Qt::FocusReason reason)
    {
        return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
    }
};

TFeldNamensSprecher *Sprecher(QWidget *feld)
{
    return feld->findChild<TFeldNamensSprecher *>(QStringLiteral("FeldNamensSprecher"), Qt::FindDirectChildrenOnly);
}

} // namespace

TScreenReaderOutput *SprachausgabeSetzen(TScreenReaderOutput *ausgabe)
{
    return std::exchange(gAusgabe, ausgabe);
}

TScreenReaderOutput *Sprachausgabe()
{
    return gAusgabe;
}

bool Vorlesen(const QString &text)
{
    return gAusgabe && gAusgabe->Output(text, false);
}

void FeldBeschriften(QLabel *label, QWidget *feld)
{
    label->setBuddy(feld);
    FeldNameSetzen(feld, AmpersandEntfernen(label->text()));
}

void FeldNameSetzen(QWidget *feld, const QString &name)
{
    TFeldNamensSprecher *sprecher = Sprecher(feld);
    if (!sprecher)
        sprecher = new TFeldNamensSprecher(feld);
    sprecher->Name = name;
    feld->setAccessibleName(name);
}

void FeldNameErneutSprechen(QWidget *feld)
{
    if (TFeldNamensSprecher *sprecher = Sprecher(feld))
        sprecher->Unterbrochen = false;
}
