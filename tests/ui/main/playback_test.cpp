#include "mainwindowfixture.h"
#include "platform/player.h"
#include "platform/registrystore.h"
#include "platform/settings.h"
#include "platform/volume.h"
#include "support/formatting.h"
#include "ui/main/bytesform.h"

#include <QAudioDevice>
#include <QMediaDevices>

namespace {

class Playback : public MainWindowTest {
protected:
    // A file of `frames` frames opened in the window.
    TMediaPlayer &oeffnen(int frames)
    {
        const QString file = mp3(QStringLiteral("spielen.mp3"), frames);
        showForm({file});
        WAIT_EQ(form->OriFilename(), file);
        return *form->MediaPlayer1();
    }

    void warteAufModus(TMediaPlayer &player, TMPModes mode) { WAIT_EQ(player.Mode(), mode); }
};

#define REQUIRE_SOUND_SERVER()                                                                                         \
    if (QMediaDevices::defaultAudioOutput().isNull())                                                                  \
    FAIL() << "No sound server; source scripts/services.sh and start_services first"

TEST_F(Playback, SeekingPastTheEndStopsThereAndTheNextPlayStartsOver)
{
    REQUIRE_SOUND_SERVER();
    TMediaPlayer &player = oeffnen(160); // about 4.2 s
    QTest::keyClick(form->Edit1, Qt::Key_W, Qt::ControlModifier);
    warteAufModus(player, TMPModes::mpPlaying);
    EXPECT_EQ(form->focusWidget(), form->Edit4);
    QTest::keyClick(form->Edit4, Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(player.Mode(), TMPModes::mpStopped);
    EXPECT_EQ(player.Position(), player.Length());
    EXPECT_EQ(form->Edit4->text(), ZeitText(player.Length(), 3));
    EXPECT_EQ(form->ProgressBar1->value(), 100);
    WAIT_EQ(action("MenuPlayStop")->isEnabled(), false);
    EXPECT_FALSE(form->Timer1->isActive());

    QTest::keyClick(form->Edit4, Qt::Key_W, Qt::ControlModifier);
    warteAufModus(player, TMPModes::mpPlaying);
    EXPECT_LT(player.Position(), 1000);
    WAIT_EQ(action("MenuPlayStop")->isEnabled(), true);
    EXPECT_TRUE(form->Timer1->isActive());
    // The position field follows playback.
    QTest::qWait(400);
    EXPECT_NE(form->Edit4->text(), QStringLiteral("0:00:00,000"));
    QTest::keyClick(form->Edit4, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(player.Position(), 0);
    EXPECT_EQ(form->Edit4->text(), QStringLiteral("0:00:00,000"));
}

TEST_F(Playback, SeekingBackAtThreeSecondsGoesToTheStartAndKeepsPlaying)
{
    REQUIRE_SOUND_SERVER();
    TMediaPlayer &player = oeffnen(400); // about 10.4 s
    player.setPosition(3000);
    QTest::keyClick(form->Edit2, Qt::Key_Space);
    warteAufModus(player, TMPModes::mpPlaying);
    QTest::keyClick(form->Edit4, Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(player.Mode(), TMPModes::mpPlaying);
    EXPECT_LT(player.Position(), 500);
    // Space in a field pauses, and plays on.
    QTest::keyClick(form->Edit3, Qt::Key_Space);
    EXPECT_EQ(player.Mode(), TMPModes::mpPaused);
    WAIT_EQ(form->Timer1->isActive(), true);
    QTest::keyClick(form->Memo1, Qt::Key_Space);
    EXPECT_EQ(player.Mode(), TMPModes::mpPlaying);
    QTest::keyClick(form->TrackBar1, Qt::Key_Space);
    EXPECT_EQ(player.Mode(), TMPModes::mpPaused);
    // While paused a step moves the position and playback does not start.
    const qint64 vorher = player.Position();
    form->setVorRueckSekunden(2);
    QTest::keyClick(form->Edit4, Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(player.Mode(), TMPModes::mpPaused);
    EXPECT_NEAR(double(player.Position()), double(vorher + 2000), 30.0);
}

TEST_F(Playback, TheSliderAndItsKeysSetTheDeviceVolume)
{
    showForm();
    form->TrackBar1->setValue(50);
    int links = 0, rechts = 0;
    ASSERT_TRUE(LautstaerkeLesen(links, rechts));
    EXPECT_EQ(links, 32767);
    EXPECT_EQ(rechts, 32767);
    form->TrackBar1->setValue(99);
    QTest::keyClick(form->Edit1, Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(form->TrackBar1->value(), 100);
    QTest::keyClick(form->Edit1, Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(form->TrackBar1->value(), 100);
    // 100 × 655.35 in extended precision lies just below 65535.
    LautstaerkeLesen(links, rechts);
    EXPECT_EQ(links, 65534);
    QTest::keyClick(form->Edit1, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(form->TrackBar1->value(), 97);
    LautstaerkeSetzen(32768, 32768);
    form->TrackSetzen();
    EXPECT_EQ(form->TrackBar1->value(), 50);
}

TEST_F(Playback, GoToMinuteOnAShortFileAllowsOnlyMinuteZero)
{
    TMediaPlayer &player = oeffnen(2250); // 58.8 s
    player.setPosition(30000);
    whenModal<TBytesForm>([](TBytesForm *f) {
        EXPECT_EQ(f->windowTitle(), QStringLiteral("Gehe zu Minute"));
        EXPECT_EQ(f->Label1->text(), QStringLiteral("Sprungziel in Minuten eingeben (Max. 0):"));
        EXPECT_EQ(f->Edit1->text(), QStringLiteral("0"));
        EXPECT_EQ(f->Edit1->selectedText(), QStringLiteral("0"));
        EXPECT_EQ(f->Button1->text(), QStringLiteral("O&K"));
        QTest::keyClicks(f->Edit1, QStringLiteral("1"));
        QTest::keyClick(f->Edit1, Qt::Key_Return);
    });
    QTest::keyClick(form->Edit1, Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(player.Position(), 0);
    EXPECT_EQ(form->Edit4->text(), QStringLiteral("0:00:00,000"));
    EXPECT_EQ(form->focusWidget(), form->Edit4);
}

TEST_F(Playback, GoToMinuteMovesThereWithoutPlaying)
{
    TMediaPlayer &player = oeffnen(5000); // 2:10
    whenModal<TBytesForm>([](TBytesForm *f) {
        EXPECT_EQ(f->Label1->text(), QStringLiteral("Sprungziel in Minuten eingeben (Max. 2):"));
        QTest::keyClick(f->Edit1, Qt::Key_Up);
        QTest::keyClick(f->Edit1, Qt::Key_Up);
        QTest::keyClick(f->Edit1, Qt::Key_Up);
        EXPECT_EQ(f->Edit1->text(), QStringLiteral("2"));
        QTest::keyClick(f->Edit1, Qt::Key_Return);
    });
    action("MenuPlayGehe")->trigger();
    EXPECT_EQ(player.Position(), 120000);
    EXPECT_EQ(form->Edit4->text(), QStringLiteral("0:02:00,000"));
    EXPECT_NE(player.Mode(), TMPModes::mpPlaying);
}

TEST_F(Playback, TheSeekStepIsHeldWithinSixtySecondsAndSaved)
{
    showForm();
    form->Memo1->setFocus();
    whenModal<TBytesForm>([](TBytesForm *f) {
        EXPECT_EQ(f->windowTitle(), QStringLiteral("Spulschritte eingeben"));
        EXPECT_EQ(f->Label1->text(), QStringLiteral("Spulschritte in Sekunden eingeben (Max. 60):"));
        EXPECT_EQ(f->Edit1->text(), QStringLiteral("5"));
        // Only digits can be typed.
        QTest::keyClicks(f->Edit1, QStringLiteral("7x5"));
        EXPECT_EQ(f->Edit1->text(), QStringLiteral("75"));
        QTest::keyClick(f->Edit1, Qt::Key_Return);
    });
    action("MenuEinstSpulschritte")->trigger();
    EXPECT_EQ(form->VorRueckSekunden(), 60);
    EXPECT_EQ(form->focusWidget(), form->Memo1);
    TRegistryStore store;
    ASSERT_TRUE(store.OpenKey(QLatin1String(EinstellungenSchluessel), false));
    EXPECT_TRUE(store.ReadString(QStringLiteral("Daten"))->startsWith(QStringLiteral("2 60 ")));
}

TEST_F(Playback, AnEmptyEntryIsReportedAndCancelChangesNothing)
{
    showForm();
    whenModal<TBytesForm>([](TBytesForm *f) {
        QTest::keyClick(f->Edit1, Qt::Key_Backspace);
        QTest::keyClick(f->Edit1, Qt::Key_Return);
    });
    {
        TMessageAnswers answers{TMeldungAntwort::Ok};
        action("MenuEinstSpulschritte")->trigger();
        EXPECT_EQ(answers.texts(), QStringList{QStringLiteral("Fehler bei Eingabe!")});
    }
    EXPECT_EQ(form->VorRueckSekunden(), 1);
    whenModal<TBytesForm>([](TBytesForm *f) {
        QTest::keyClicks(f->Edit1, QStringLiteral("30"));
        QTest::keyClick(f->Edit1, Qt::Key_Escape);
    });
    action("MenuEinstSpulschritte")->trigger();
    EXPECT_EQ(form->VorRueckSekunden(), 1);
}

TEST(NumberDialog, LaysItselfOutFromTheFont)
{
    TBytesForm f;
    f.Vorbereiten(QStringLiteral("Spulschritte eingeben"),
                  QStringLiteral("Spulschritte in Sekunden eingeben (Max. 60):"), 1, 60, 5, QStringLiteral("O&K"));
    f.Einrichten();
    EXPECT_EQ(f.Edit1->y(), 10);
    EXPECT_EQ(f.Label1->x(), 10);
    EXPECT_EQ(f.Edit1->x(), f.Label1->geometry().right() + 1 + 5);
    EXPECT_EQ(f.UpDown1->geometry().right() + 1, f.Edit1->x() + 75);
    EXPECT_EQ(f.width(), f.Edit1->x() + 75 + 10);
    EXPECT_EQ(f.Button1->y(), 2 * 10 + f.Edit1->height());
    EXPECT_EQ(f.Button1->size(), QSize(125, f.Button1->height()));
    EXPECT_EQ(f.Button2->x(), 2 * f.Button1->x() + 125);
    EXPECT_EQ(f.height(), f.Button1->geometry().bottom() + 1 + 10);
    EXPECT_EQ(accessibleName(f.Edit1), QStringLiteral("Spulschritte in Sekunden eingeben (Max. 60):"));
    EXPECT_EQ(accessibleRole(f.Edit1), QAccessible::EditableText);
}

} // namespace
