#include "ui/main/bytesform.h"

#include "ui/common/fieldnames.h"
#include "ui/common/messages.h"
#include "ui/common/windowmeasures.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <algorithm>

TUpDown::TUpDown(QLineEdit *buddy, QWidget *parent)
    : QWidget(parent), FBuddy(buddy), FAuf(new QToolButton(this)), FAb(new QToolButton(this))
{
    FAuf->setArrowType(Qt::UpArrow);
    FAb->setArrowType(Qt::DownArrow);
    for (QToolButton *b : {FAuf, FAb})
        b->setFocusPolicy(Qt::NoFocus);
    FAuf->setAccessibleName(QStringLiteral("Höher"));
    FAb->setAccessibleName(QStringLiteral("Niedriger"));
    connect(FAuf, &QToolButton::clicked, this, [this] { Schritt(1); });
    connect(FAb, &QToolButton::clicked, this, [this] { Schritt(-1); });
    buddy->installEventFilter(this);
}

void TUpDown::setPosition(int position)
{
    FPosition = std::clamp(position, Min, std::max(Min, Max));
}

void TUpDown::Schritt(int richtung)
{
    // Steps from the number in the field when it holds one.
    bool ok = false;
    const qint64 zahl = FBuddy->text().toLongLong(&ok);
    if (ok)
        setPosition(int(std::clamp<qint64>(zahl, Min, std::max(Min, Max))));
    setPosition(FPosition + richtung);
    FBuddy->setText(QString::number(FPosition));
    FBuddy->selectAll();
}

bool TUpDown::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *k = static_cast<QKeyEvent *>(event);
        if ((k->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
            (k->key() == Qt::Key_Up || k->key() == Qt::Key_Down)) {
            Schritt(k->key() == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return false;
}

void TUpDown::resizeEvent(QResizeEvent *)
{
    const int h = height() / 2;
    FAuf->setGeometry(0, 0, width(), h);
    FAb->setGeometry(0, h, width(), height() - h);
}

TBytesForm::TBytesForm(QWidget *parent) : TDialogBasis(parent)
{
    setObjectName(QStringLiteral("BytesForm"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMaxLength(15);
    // Only digits can be typed; Backspace and the caret keys work as usual.
    Edit1->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), Edit1));
    UpDown1 = new TUpDown(Edit1, this);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    Label2 = new QLabel(QStringLiteral("Überlappung in Sekunden eingeben (0-9):"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Edit2 = new QLineEdit(QStringLiteral("0"), this);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setMaxLength(1);
    Edit2->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), Edit2));
    FeldBeschriften(Label2, Edit2);
    UpDown2 = new TUpDown(Edit2, this);
    UpDown2->setObjectName(QStringLiteral("UpDown2"));
    UpDown2->Min = 0;
    UpDown2->Max = 9;
    Button1 = new QPushButton(this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("&Abbrechen"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    setWindowModality(Qt::ApplicationModal);
}

void TBytesForm::Vorbereiten(const QString &caption, const QString &label, int minNr, int maxNr, int position,
                             const QString &button1)
{
    setWindowTitle(caption);
    Label1->setText(label);
    FeldBeschriften(Label1, Edit1);
    MinNr = minNr;
    MaxNr = maxNr;
    UpDown1->Min = minNr;
    UpDown1->Max = maxNr;
    UpDown1->setPosition(position);
    Button1->setText(button1);
    VorspannS = false;
}

int TBytesForm::Bytes()
{
    const QString text = Edit1->text();
    bool ok = !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    qint64 zahl = ok ? text.toLongLong(&ok) : 0;
    if (!ok) {
        MeldungZeigen(QStringLiteral("Fehler bei Eingabe!"), TMeldungArt::Information, TMeldungKnoepfe::Ok, this);
        zahl = 0;
    } else {
        zahl = std::clamp<qint64>(zahl, MinNr, std::max(MinNr, MaxNr));
    }
    UpDown1->setPosition(int(zahl));
    return int(zahl);
}

int TBytesForm::GetVorspann()
{
    bool ok = false;
    const int zahl = Edit2->text().toInt(&ok);
    UpDown2->setPosition(ok && zahl >= 0 ? std::min(zahl, 9) : 0);
    return UpDown2->Position();
}

void TBytesForm::SchalterEinrichten()
{
    const QFont &font = Label1->font();
    const int knopfBreite = KnopfBreite({Button1, Button2});
    const int knopfHoehe = SchriftHoehe(Button1->font(), TSchalterArt::Button);
    const int editHoehe = SchriftHoehe(font, TSchalterArt::Edit);
    Label1->adjustSize();
    Label1->move(10, MittigOben(10, editHoehe, Label1->height()));
    // The up-down takes the right end of the field's 75 pixels, as an attached one does.
    const int links = Label1->x() + Label1->width() + 5;
    const int udBreite = std::max(16, editHoehe / 2);
    // 75 pixels, wider where a large font needs more for the largest number.
    const int breite1 = std::max(
        75, TextBreite(Edit1->font(), QString(QString::number(MaxNr).size() + 1, QLatin1Char('0'))) + udBreite);
    Edit1->setGeometry(links, 10, breite1 - udBreite, editHoehe);
    UpDown1->setGeometry(links + breite1 - udBreite, 10, udBreite, editHoehe);
    int clientBreite = links + breite1 + 10;
    Label2->setVisible(VorspannS);
    Edit2->setVisible(VorspannS);
    UpDown2->setVisible(VorspannS);
    const QWidget *letztes = Edit1;
    if (VorspannS) {
        Label2->adjustSize();
        Label2->move(10, 0);
        const int links2 = Label2->x() + Label2->width() + 5;
        // A quarter of the number field, but never too narrow for its one digit at a large font.
        const int breite2 = std::max(75 / 4, TextBreite(Edit2->font(), QStringLiteral("0")) + 8);
        Edit2->setGeometry(links2, Edit1->y() + editHoehe + 10, breite2, editHoehe);
        UpDown2->setGeometry(links2 + breite2, Edit2->y(), udBreite, editHoehe);
        AufMitteSetzen(Label2, Edit2);
        clientBreite = std::max(clientBreite, UpDown2->x() + udBreite + 10);
        letztes = Edit2;
    }
    const int knopfOben = 2 * letztes->y() + editHoehe;
    clientBreite = std::max(clientBreite, 2 * knopfBreite + 3 * 10);
    const int knopfLinks = (clientBreite - 2 * knopfBreite) / 3;
    Button1->setGeometry(knopfLinks, knopfOben, knopfBreite, knopfHoehe);
    Button2->setGeometry(2 * knopfLinks + knopfBreite, knopfOben, knopfBreite, knopfHoehe);
    setFixedSize(clientBreite, Button1->y() + knopfHoehe + Edit1->y());
}

void TBytesForm::showEvent(QShowEvent *event)
{
    TDialogBasis::showEvent(event);
    Edit1->setText(QString::number(UpDown1->Position()));
    Edit2->setText(QString::number(UpDown2->Position()));
    Edit1->selectAll();
    // Each showing is a new question: the field speaks its label even when it had the focus
    // when the dialog last closed.
    FeldNameErneutSprechen(Edit1);
    Edit1->setFocus(Qt::OtherFocusReason);
}
