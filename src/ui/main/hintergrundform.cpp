#include "ui/main/hintergrundform.h"

#include "support/formatting.h"
#include "ui/common/appearance.h"
#include "ui/common/fieldnames.h"
#include "ui/common/windowmeasures.h"

#include <QListWidget>
#include <QPushButton>
#include <algorithm>

namespace {

struct TFarbEintrag {
    const char *Name;
    quint32 Wert; // 0x00BBGGRR as stored
};

const TFarbEintrag Farben[THintergrundForm::AnzahlFarben] = {
    {"Schwarz", 0x000000},    {"Weiß", 0xFFFFFF},       {"Gelb", 0x00FFFF},     {"Blau", 0xFF0000},
    {"Marineblau", 0x800000}, {"Himmelblau", 0xF0CAA6}, {"Blaugrün", 0x808000}, {"Grün", 0x008000},
    {"Minzgrün", 0xC0DCC0},   {"Gelbgrün", 0x00FF00},   {"Olivgrün", 0x008080}, {"Grau", 0x808080},
    {"Dunkelgrau", 0x808080}, {"Hellgrau", 0xC0C0C0},   {"Rot", 0x0000FF},      {"Purpur", 0x800080},
    {"Lila", 0xFF00FF},       {"Silber", 0xC0C0C0},     {"Braun", 0x000080},
};

} // namespace

QString THintergrundForm::FarbName(int nr)
{
    return QString::fromUtf8(Farben[std::clamp(nr, 0, AnzahlFarben - 1)].Name);
}

quint32 THintergrundForm::Farbwert(int nr)
{
    return Farben[std::clamp(nr, 0, AnzahlFarben - 1)].Wert;
}

QColor THintergrundForm::Farbe(int nr)
{
    const quint32 wert = Farbwert(nr);
    return QColor(int(wert & 0xFF), int((wert >> 8) & 0xFF), int((wert >> 16) & 0xFF));
}

THintergrundForm::THintergrundForm(QWidget *parent, int ARand, int ABtnWidth)
    : TDialogBasis(parent), FBtnWidth(ABtnWidth), FRand(ARand)
{
    setObjectName(QStringLiteral("HintergrundForm"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    FeldNameSetzen(ListBox1, QStringLiteral("Farben"));
    Button1 = new QPushButton(this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button2 = new QPushButton(this);
    Button2->setObjectName(QStringLiteral("Button2"));
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(ListBox1, &QListWidget::itemActivated, this, &QDialog::accept);
    CaptionZuweisen(QStringLiteral("Schrifthintergrund wählen"), QStringLiteral("O&K"), QStringLiteral("&Abbrechen"));
}

void THintergrundForm::CaptionZuweisen(const QString &ACaption, const QString &ABtn1Caption,
                                       const QString &ABtn2Caption)
{
    setWindowTitle(ACaption);
    Button1->setText(ABtn1Caption);
    Button2->setText(ABtn2Caption);
    const int nr = ListBox1->currentRow();
    ListBox1->clear();
    for (int i = 0; i < AnzahlFarben; ++i)
        ListBox1->addItem(FarbName(i));
    ListBox1->setCurrentRow(std::max(0, nr));
}

void THintergrundForm::SchriftartZuweisen()
{
    SchriftartAnwenden(this, ProgrammAussehen(), TKnopfSchrift::NameGroesseUndStil);
}

void THintergrundForm::SchalterEinrichten()
{
    const int r = FRand;
    QString laengste;
    for (QPushButton *b : {Button1, Button2}) {
        const QString t = AmpersandEntfernen(b->text());
        if (t.size() > laengste.size())
            laengste = t;
    }
    const int hoehe = SchriftHoehe(Button1->font(), TSchalterArt::Button);
    const int breite = TextBreite(Button1->font(), laengste + QStringLiteral("MM"));
    Button1->resize(breite, hoehe);
    Button2->resize(breite, hoehe);
    const int clientBreite = 2 * r + breite + breite + r;
    // Twenty lines, fewer where a large font would push the buttons off the screen.
    const int zeile = SchriftHoehe(ListBox1->font(), TSchalterArt::Label);
    const int rahmen = std::max(40, frameGeometry().height() - height());
    const int platz = Bildschirm(this).height() - rahmen - hoehe - 3 * r;
    const int zeilen = std::clamp(platz / std::max(1, zeile), 1, 20);
    ListBox1->setGeometry(r, r, clientBreite - 2 * r, zeilen * zeile);
    const int knopfOben = ListBox1->y() + ListBox1->height() + r;
    Button1->move(r, knopfOben);
    Button2->move(2 * r + breite, knopfOben);
    setFixedSize(clientBreite, knopfOben + hoehe + r);
}

int THintergrundForm::HintergrundNr() const
{
    return std::max(0, ListBox1->currentRow());
}

void THintergrundForm::setHintergrundNr(int nr)
{
    ListBox1->setCurrentRow(nr < 0 || nr >= AnzahlFarben ? 0 : nr);
}

QColor THintergrundForm::HintergrundFarbe() const
{
    return Farbe(HintergrundNr());
}

void THintergrundForm::setBtnWidth(int width)
{
    FBtnWidth = width;
    SchalterEinrichten();
}

void THintergrundForm::setRand(int rand)
{
    FRand = rand;
    SchalterEinrichten();
}

void THintergrundForm::showEvent(QShowEvent *event)
{
    TDialogBasis::showEvent(event);
    MerkItemIndex = ListBox1->currentRow();
    ListBox1->setFocus(Qt::OtherFocusReason);
}

void THintergrundForm::done(int result)
{
    // Cancel brings the choice back that was made when the dialog was shown.
    if (result != QDialog::Accepted)
        ListBox1->setCurrentRow(MerkItemIndex);
    TDialogBasis::done(result);
}
