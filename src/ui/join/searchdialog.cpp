#include "ui/join/searchdialog.h"

#include "ui/common/windowmeasures.h"
#include "ui/common/windowreporter.h"

#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <algorithm>
#include <cmath>

TDateiSuche &DateiSuche()
{
    static TDateiSuche suche;
    return suche;
}

TSucheDlg::TSucheDlg(QWidget *parent) : TDialogBasis(parent)
{
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setTextFormat(Qt::PlainText);
    Button1 = new QPushButton(this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TSucheDlg::Button1Click);
    Timer1.setSingleShot(true);
    Timer1.setInterval(5);
    connect(&Timer1, &QTimer::timeout, this, &TSucheDlg::Timer1Timer);
    CaptionZuweisen();
}

void TSucheDlg::CaptionZuweisen()
{
    setWindowTitle(QStringLiteral("Suche Dateien"));
    Button1->setText(QStringLiteral("&Abbrechen"));
}

void TSucheDlg::SchalterEinrichten()
{
    const QRect schirm = Bildschirm(this);
    const int breite = static_cast<int>(std::trunc(static_cast<long double>(schirm.width()) / 100 * 50));
    const QFont &f = Label1->font();
    Label1->setGeometry(10, 10, breite - 20, SchriftHoehe(f));
    const int knopfHoehe = SchriftHoehe(Button1->font(), TSchalterArt::Button);
    const int knopfOben = Label1->geometry().bottom() + 1 + 10;
    const int knopfBreite = std::min(KnopfBreite({Button1}), breite - 20);
    Button1->setGeometry((breite - knopfBreite) / 2, knopfOben, knopfBreite, knopfHoehe);
    setFixedSize(breite, knopfOben + knopfHoehe + 10);
}

void TSucheDlg::showEvent(QShowEvent *event)
{
    TDialogBasis::showEvent(event);
    if (event->spontaneous())
        return;
    DateiSuche().SucheAbbrechen = false;
    OrdnerZeigen(Ordner);
    Button1->setFocus(Qt::OtherFocusReason);
    Timer1.start();
}

void TSucheDlg::OrdnerZeigen(const QString &ordner)
{
    const QFontMetrics fm(Label1->font());
    const QString text = ordner + QStringLiteral("...");
    Label1->setText(PfadKuerzen(text, Label1->width(), [&fm](const QString &t) { return fm.horizontalAdvance(t); }));
}

void TSucheDlg::Timer1Timer()
{
    Timer1.stop();
    TDateiSuche &suche = DateiSuche();
    TFensterReporter report(this);
    suche.OrdnerAnzeigen = [this](const QString &ordner) { OrdnerZeigen(ordner); };
    try {
        suche.Suchen(Ordner, UnterOrdnerS, report);
    } catch (...) {
        // The list keeps what was found before the failure.
    }
    suche.OrdnerAnzeigen = nullptr;
    if (suche.SucheAbbrechen)
        QDialog::reject();
    else
        accept();
}

void TSucheDlg::Button1Click()
{
    DateiSuche().SucheAbbrechen = true;
    // While the search runs, the dialog closes once the running step has returned.
    if (!DateiSuche().SucheLaeuft)
        QDialog::reject();
}

void TSucheDlg::reject()
{
    Button1Click();
}
