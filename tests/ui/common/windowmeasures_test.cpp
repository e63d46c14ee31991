#include "ui/common/appearance.h"
#include "ui/common/dialogbase.h"
#include "ui/common/windowmeasures.h"

#include "ui/support/controls.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

QFont schrift(int punkte)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSize(punkte);
    return f;
}

// Heights and widths come from a label sized to its text: one line of the font, the caption
// without its accelerator and with the blank after it.
TEST(FontMeasures, FollowTheFontAtTwoSizes)
{
    int vorige = 0;
    for (int punkte : {10, 28}) {
        SCOPED_TRACE(punkte);
        const QFont f = schrift(punkte);
        const QFontMetrics fm(f);
        const int zeile = SchriftHoehe(f, TSchalterArt::Label);
        QLabel label(QStringLiteral("M"));
        label.setFont(f);
        EXPECT_EQ(zeile, label.sizeHint().height());
        EXPECT_NEAR(zeile, fm.height(), 1);
        EXPECT_EQ(SchriftHoehe(f, TSchalterArt::Edit), zeile + 8);
        EXPECT_EQ(SchriftHoehe(f, TSchalterArt::Button), zeile + 12);
        EXPECT_EQ(SchriftHoehe(f, TSchalterArt::StatusBar), zeile + 6);
        EXPECT_EQ(SchriftHoehe(f, TSchalterArt::CheckBox), zeile + 8);
        EXPECT_GT(zeile, vorige);
        vorige = zeile;

        const int breite = TextBreite(f, QStringLiteral("Datei&größe:"));
        EXPECT_NEAR(breite, fm.horizontalAdvance(QStringLiteral("Dateigröße: ")), 1);
        EXPECT_EQ(breite, TextBreite(f, QStringLiteral("Dateigröße:")));
        EXPECT_GT(TextBreite(f, QStringLiteral("MM")), TextBreite(f, QStringLiteral("M")));
    }
}

TEST(Centring, DivisionTowardZeroAndNeverOffTheScreen)
{
    struct Fall {
        QSize bildschirm, fenster;
        QPoint erwartet;
    };
    const Fall faelle[] = {
        {{1280, 800}, {400, 300}, {439, 249}}, {{1281, 801}, {400, 300}, {439, 249}},
        {{1280, 800}, {1279, 799}, {0, 0}},    {{1280, 800}, {1400, 900}, {0, 0}},
        {{1280, 800}, {1280, 300}, {0, 249}},
    };
    for (const Fall &f : faelle)
        EXPECT_EQ(DialogPosition(f.bildschirm, f.fenster), f.erwartet)
            << f.fenster.width() << "x" << f.fenster.height();

    EXPECT_EQ(MittigOben(10, 30, 21), 14);
    EXPECT_EQ(MittigOben(10, 20, 25), 8); // -5 div 2 is -2
    EXPECT_EQ(MittigOben(0, 0, 0), 0);
}

class TProbeDialog : public TDialogBasis {
public:
    TProbeDialog()
    {
        Label1 = new QLabel(QStringLiteral("&Wert:"), this);
        Edit1 = new QLineEdit(this);
        Button1 = new QPushButton(QStringLiteral("O&K"), this);
    }
    void SchalterEinrichten() override
    {
        ++Einrichtungen;
        Edit1->setGeometry(10 + TextBreite(Edit1->font(), Label1->text()), 10, 100,
                           SchriftHoehe(Edit1->font(), TSchalterArt::Edit));
        Label1->adjustSize();
        Label1->move(10, 0);
        AufMitteSetzen(Label1, Edit1);
        resize(300, 200);
    }
    QLabel *Label1;
    QLineEdit *Edit1;
    QPushButton *Button1;
    int Einrichtungen = 0;
};

// Each showing lays the dialog out again from the font of that moment; buttons keep only the
// font's name and size, text controls take the colours.
TEST(DialogSetUp, EveryShowingAppliesTheCurrentFontAndCentres)
{
    const TAussehen vorher = ProgrammAussehen();
    TProbeDialog dialog;
    dialog.show();
    EXPECT_EQ(dialog.Einrichtungen, 1);
    const QRect screen = Bildschirm(&dialog);
    EXPECT_EQ(dialog.frameGeometry().topLeft(),
              screen.topLeft() + DialogPosition(screen.size(), dialog.frameGeometry().size()));
    const int kleineHoehe = dialog.Edit1->height();
    dialog.hide();

    QFont gross = schrift(28);
    gross.setBold(true);
    ProgrammAussehen() = {gross, Qt::yellow, Qt::darkBlue};
    dialog.show();
    EXPECT_EQ(dialog.Einrichtungen, 2);
    EXPECT_GT(dialog.Edit1->height(), kleineHoehe);
    EXPECT_EQ(dialog.Edit1->font(), gross);
    EXPECT_EQ(dialog.Label1->font(), gross);
    EXPECT_EQ(dialog.Edit1->palette().color(QPalette::Base), QColor(Qt::darkBlue));
    EXPECT_EQ(dialog.Edit1->palette().color(QPalette::Text), QColor(Qt::yellow));
    EXPECT_EQ(dialog.Label1->palette().color(QPalette::WindowText), QColor(Qt::yellow));
    EXPECT_EQ(dialog.Button1->font().family(), gross.family());
    EXPECT_EQ(dialog.Button1->font().pointSize(), 28);
    EXPECT_FALSE(dialog.Button1->font().bold());
    EXPECT_EQ(dialog.Label1->y(), MittigOben(dialog.Edit1->y(), dialog.Edit1->height(), dialog.Label1->height()));
    ProgrammAussehen() = vorher;
}

} // namespace
