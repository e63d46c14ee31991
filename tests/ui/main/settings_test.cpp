#include "mainwindowfixture.h"
#include "platform/registrystore.h"
#include "platform/settings.h"
#include "platform/userfolders.h"
#include "ui/common/appearance.h"
#include "ui/common/windowmeasures.h"
#include "ui/main/hintergrundform.h"

#include <QFontDialog>
#include <QListWidget>

namespace {

TEST_F(MainWindowTest, ANewUserGetsModeTwoStepFiveTheDocumentsFolderAndWhite)
{
    showForm();
    EXPECT_EQ(form->Modus(), 2);
    EXPECT_TRUE(action("MenuEinstMinuten")->isChecked());
    EXPECT_EQ(form->VorRueckSekunden(), 5);
    EXPECT_EQ(form->InitialDirStr(), Arbeitsordner());
    EXPECT_EQ(form->HintergrundNr(), 1);
    EXPECT_EQ(ProgrammAussehen().Schrift.family(), QStringLiteral("Arial"));
    EXPECT_EQ(ProgrammAussehen().Schrift.pointSize(), 12);
    EXPECT_EQ(form->Edit1->palette().color(QPalette::Base), QColor(Qt::white));
    EXPECT_EQ(form->Edit1->font().pointSize(), 12);
    // Buttons take name and size only.
    EXPECT_EQ(form->Button1->font().pointSize(), 12);
}

TEST_F(MainWindowTest, TheUsersChoicesSurviveARestartThroughTheStore)
{
    showForm();
    action("MenuEinstSekunden")->trigger();
    form->setVorRueckSekunden(10);
    form->setInitialDirStr(dir.path());
    QFont schrift(QStringLiteral("DejaVu Sans"));
    schrift.setPointSize(20);
    schrift.setBold(true);
    ProgrammAussehen().Schrift = schrift;
    form->setHintergrundNr(5);
    form->close();
    form.reset();

    TRegistryStore store;
    ASSERT_TRUE(store.OpenKey(QLatin1String(EinstellungenSchluessel), false));
    EXPECT_EQ(store.ReadString(QStringLiteral("Daten")), QStringLiteral("3 10 %1").arg(dir.path()));
    EXPECT_EQ(store.ReadInteger(QStringLiteral("HintColor")), 5);
    EXPECT_EQ(store.ReadString(QStringLiteral("FontName")), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(store.ReadInteger(QStringLiteral("FontSize")), 20);
    EXPECT_EQ(store.ReadInteger(QStringLiteral("FontStyle")), 2);
    EXPECT_EQ(store.ReadInteger(QStringLiteral("FontColor")), clWindowText);
    store.CloseKey();

    ProgrammAussehen().Schrift = QFont();
    showForm();
    EXPECT_EQ(form->Modus(), 3);
    EXPECT_EQ(form->StatusPanel1->text(), QStringLiteral("Modus: Sekunden"));
    EXPECT_EQ(form->VorRueckSekunden(), 10);
    EXPECT_EQ(form->InitialDirStr(), dir.path());
    EXPECT_EQ(form->HintergrundNr(), 5);
    EXPECT_EQ(form->Edit1->palette().color(QPalette::Base), QColor(166, 202, 240));
    EXPECT_EQ(form->Edit1->font().pointSize(), 20);
    EXPECT_TRUE(form->Edit1->font().bold());
}

TEST_F(MainWindowTest, StoredValuesOutOfRangeAreHeldWithinTheirLimits)
{
    {
        TRegistryStore store;
        ASSERT_TRUE(store.OpenKey(QLatin1String(EinstellungenSchluessel), true));
        store.WriteString(QStringLiteral("Daten"), QStringLiteral("7 99 %1/fehlt").arg(dir.path()));
        store.WriteInteger(QStringLiteral("HintColor"), 19);
        store.WriteInteger(QStringLiteral("FontStyle"), 3);
        store.CloseKey();
    }
    showForm();
    EXPECT_EQ(form->Modus(), 4);
    EXPECT_EQ(form->VorRueckSekunden(), 60);
    EXPECT_EQ(form->InitialDirStr(), Arbeitsordner());
    EXPECT_EQ(form->HintergrundNr(), 0);
    EXPECT_TRUE(ProgrammAussehen().Schrift.bold());
    EXPECT_TRUE(ProgrammAussehen().Schrift.italic());
}

TEST_F(MainWindowTest, CancellingTheColourDialogKeepsTheOldColour)
{
    showForm();
    form->Edit3->setFocus();
    whenModal<THintergrundForm>([](THintergrundForm *f) {
        EXPECT_EQ(f->windowTitle(), QStringLiteral("Schrifthintergrund wählen"));
        EXPECT_EQ(f->focusWidget(), f->ListBox1);
        QTest::keyClick(f->ListBox1, Qt::Key_Down);
        EXPECT_EQ(f->HintergrundNr(), 2);
        QTest::keyClick(f->ListBox1, Qt::Key_Escape);
    });
    action("MenuAnsHintergrund")->trigger();
    EXPECT_EQ(form->HintergrundNr(), 1);
    EXPECT_EQ(form->HintergrundForm()->HintergrundNr(), 1);
    EXPECT_EQ(form->Edit1->palette().color(QPalette::Base), QColor(Qt::white));
    EXPECT_EQ(form->focusWidget(), form->Edit3);

    whenModal<THintergrundForm>([](THintergrundForm *f) {
        QTest::keyClick(f->ListBox1, Qt::Key_Down);
        QTest::keyClick(f->ListBox1, Qt::Key_Return);
    });
    action("MenuAnsHintergrund")->trigger();
    EXPECT_EQ(form->HintergrundNr(), 2);
    EXPECT_EQ(form->Edit1->palette().color(QPalette::Base), QColor(255, 255, 0));
    TRegistryStore store;
    ASSERT_TRUE(store.OpenKey(QLatin1String(EinstellungenSchluessel), false));
    EXPECT_EQ(store.ReadInteger(QStringLiteral("HintColor")), 2);
}

TEST(ColourDialog, HoldsNineteenColoursAndTakesOnlyValidNumbers)
{
    THintergrundForm f(nullptr, 10, 125);
    ASSERT_EQ(f.ListBox1->count(), 19);
    EXPECT_EQ(f.ListBox1->item(0)->text(), QStringLiteral("Schwarz"));
    EXPECT_EQ(f.ListBox1->item(18)->text(), QStringLiteral("Braun"));
    EXPECT_EQ(THintergrundForm::Farbe(11), THintergrundForm::Farbe(12));
    EXPECT_EQ(THintergrundForm::Farbe(13), THintergrundForm::Farbe(17));
    EXPECT_EQ(THintergrundForm::Farbe(18), QColor(128, 0, 0));
    EXPECT_EQ(THintergrundForm::Farbe(4), QColor(0, 0, 128));
    for (int nr : {19, -1}) {
        f.setHintergrundNr(nr);
        EXPECT_EQ(f.HintergrundNr(), 0);
        EXPECT_EQ(f.HintergrundFarbe(), QColor(Qt::black));
    }
}

TEST(ColourDialog, GrowsWithTheFont)
{
    THintergrundForm f(nullptr, 10, 125);
    QSize groessen[2];
    int nr = 0;
    for (int punkte : {10, 30}) {
        QFont schrift(QStringLiteral("DejaVu Sans"));
        schrift.setPointSize(punkte);
        ProgrammAussehen().Schrift = schrift;
        f.Einrichten();
        groessen[nr++] = f.size();
        EXPECT_EQ(f.ListBox1->geometry().topLeft(), QPoint(10, 10));
        EXPECT_EQ(f.Button1->y(), f.ListBox1->geometry().bottom() + 1 + 10);
        EXPECT_EQ(f.Button2->x(), 2 * 10 + f.Button1->width());
        EXPECT_EQ(f.width(), f.Button2->geometry().right() + 1 + 10);
        EXPECT_EQ(f.height(), f.Button1->geometry().bottom() + 1 + 10);
    }
    EXPECT_GT(groessen[1].width(), groessen[0].width());
    EXPECT_GT(groessen[1].height(), groessen[0].height());
    // At 36 points twenty lines would push the buttons off the screen: the list gets fewer.
    QFont riesig(QStringLiteral("DejaVu Sans"));
    riesig.setPointSize(36);
    ProgrammAussehen().Schrift = riesig;
    f.Einrichten();
    EXPECT_LE(f.height() + 40, Bildschirm(&f).height());
    ProgrammAussehen().Schrift = QFont();
}

} // namespace

namespace {

TEST_F(MainWindowTest, TheFontDialogAppliesAndSavesTheFontOrLeavesItOnCancel)
{
    showForm();
    form->Edit2->setFocus();
    whenModal<QFontDialog>([](QFontDialog *d) {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPointSize(18);
        d->setCurrentFont(f);
        // The font colour follows; cancelled, it stays.
        whenModal<THintergrundForm>([](THintergrundForm *farben) { farben->reject(); });
        d->accept();
    });
    action("MenuAnsSchriftart")->trigger();
    EXPECT_EQ(form->Edit1->font().pointSize(), 18);
    EXPECT_EQ(form->Edit1->height(), SchriftHoehe(form->Edit1->font(), TSchalterArt::Edit));
    EXPECT_EQ(form->focusWidget(), form->Edit2);
    EXPECT_FALSE(form->IsDialogOpen());
    TRegistryStore store;
    ASSERT_TRUE(store.OpenKey(QLatin1String(EinstellungenSchluessel), false));
    EXPECT_EQ(store.ReadInteger(QStringLiteral("FontSize")), 18);
    store.CloseKey();

    whenModal<QFontDialog>([](QFontDialog *d) {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPointSize(30);
        d->setCurrentFont(f);
        d->reject();
    });
    action("MenuAnsSchriftart")->trigger();
    EXPECT_EQ(form->Edit1->font().pointSize(), 18);
}

TEST_F(MainWindowTest, TheUpdateItemWritesTheFiveLinesAndReportsAMissingTool)
{
    showForm();
    TMessageAnswers answers{TMeldungAntwort::Ok};
    action("MenuHilfeUpdate")->trigger();
    const QString cfg = path(QStringLiteral("Zindara.cfg"));
    EXPECT_EQ(answers.texts(),
              QStringList{QStringLiteral("Es ist ein Fehler beim Aktualisieren aufgetreten!\r\nDie Datei \"%1\" konnte "
                                         "nicht gespeichert werden.")
                              .arg(cfg)});
    EXPECT_EQ(readFile(cfg), QStringLiteral("Zindara V1.42\r\nNoName - Zindara V1.42\r\n%1\r\nZindara\r\n%2 %3\r\n")
                                 .arg(QCoreApplication::applicationFilePath())
                                 .arg(ProgrammAussehen().Schrift.pointSize())
                                 .arg(ProgrammAussehen().Schrift.family())
                                 .toLatin1());
}

} // namespace
