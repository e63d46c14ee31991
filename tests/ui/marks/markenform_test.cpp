#include "cutting/smallfs.h"
#include "editorfixture.h"
#include "support/mpegbuilder.h"
#include "ui/support/messageanswers.h"

#include "platform/player.h"
#include "platform/volume.h"
#include "ui/common/appearance.h"
#include "ui/common/windowmeasures.h"

#include <QAudioDevice>
#include <QDir>
#include <QMediaDevices>
#include <QMenu>
#include <QPushButton>

namespace {

const QStringList ZweiMarken{QStringLiteral("0:00:25,000"), QStringLiteral("0:00:50,000")};

QPushButton *knopf(QWidget *form, const char *name)
{
    return findControl<QPushButton>(form, QLatin1String(name));
}

TEST_F(MarkenEditorTest, ShowsTheMarksAsNumberedSegmentsInBothModes)
{
    struct Fall {
        bool okS;
        QStringList marken;
        qint64 laenge;
        QStringList zeilen;
        bool button1;
    };
    const Fall faelle[] = {
        {true, {}, 100000, {}, true},
        {false, {}, 100000, {}, false},
        {true, {"0:00:10,000"}, 60000, {"1. 0:00:00,001 - 0:00:10,000", "2. 0:00:10,001 - 0:01:00,000"}, true},
        {false,
         ZweiMarken,
         100000,
         {"1. 0:00:00,001 - 0:00:25,000", "2. 0:00:25,001 - 0:00:50,000", "3. 0:00:50,001 - 0:01:40,000"},
         true},
        // More than ten hours: the rows keep the marks' order.
        {false,
         {"9:00:00,000", "10:00:00,000"},
         37800000,
         {"1. 0:00:00,001 - 9:00:00,000", "2. 9:00:00,001 - 10:00:00,000", "3. 10:00:00,001 - 10:30:00,000"},
         true},
    };
    for (const Fall &f : faelle) {
        SCOPED_TRACE(f.marken.join(' ').toStdString());
        zeigen(f.okS, f.marken, muster(1000), f.laenge);
        EXPECT_EQ(zeilen(), f.zeilen);
        EXPECT_EQ(knopf(form.get(), "Button1")->isEnabled(), f.button1);
        EXPECT_EQ(QApplication::focusWidget(), liste());
        if (!f.zeilen.isEmpty()) {
            EXPECT_EQ(liste()->currentItem(), liste()->topLevelItem(0));
            EXPECT_TRUE(liste()->topLevelItem(0)->isSelected());
        }
        form->accept();
        EXPECT_EQ(form->Marken, f.marken);
    }
}

TEST_F(MarkenEditorTest, ControlsAndRowsTellAScreenReaderWhatTheyAre)
{
    zeigen(false, ZweiMarken);
    EXPECT_EQ(accessibleRole(liste()), QAccessible::Tree);
    EXPECT_EQ(accessibleName(liste()), QStringLiteral("Marken"));
    form->Button1->setText(QStringLiteral("Teilen &starten"));
    EXPECT_EQ(accessibleRole(form->Button1), QAccessible::Button);
    EXPECT_EQ(accessibleName(form->Button1), QStringLiteral("Teilen starten"));
    EXPECT_EQ(accessibleName(knopf(form.get(), "Button2")), QStringLiteral("Schließen"));

    EXPECT_EQ(ZeilenText(liste(), 0), QStringLiteral("1. 0:00:00,001 - 0:00:25,000 nicht angehakt"));
    EXPECT_FALSE(ZeileAngehakt(liste(), 0));
    taste(Qt::Key_Down);
    taste(Qt::Key_Space);
    EXPECT_EQ(ZeilenText(liste(), 1), QStringLiteral("2. 0:00:25,001 - 0:00:50,000 angehakt"));
    EXPECT_TRUE(ZeileAngehakt(liste(), 1));
    EXPECT_EQ(ZeilenText(liste(), 2), QStringLiteral("3. 0:00:50,001 - 0:01:40,000 nicht angehakt"));
    EXPECT_FALSE(ZeileAngehakt(liste(), 2));
}

TEST_F(MarkenEditorTest, KeysTickAndMoveMarksAndOkReturnsTheMovedMarks)
{
    zeigen(true, ZweiMarken);
    taste(Qt::Key_Space);
    EXPECT_TRUE(form->EtwasAngehakt());
    taste(Qt::Key_A, Qt::ControlModifier);
    EXPECT_TRUE(form->AlleAngehakt(true));
    taste(Qt::Key_K, Qt::ControlModifier);
    EXPECT_TRUE(form->AlleAngehakt(false));

    taste(Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(zeilen().mid(0, 2), (QStringList{"1. 0:00:00,001 - 0:00:25,010", "2. 0:00:25,011 - 0:00:50,000"}));
    taste(Qt::Key_Left, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(zeilen().mid(0, 2), (QStringList{"1. 0:00:00,001 - 0:00:24,910", "2. 0:00:24,911 - 0:00:50,000"}));
    taste(Qt::Key_Down);
    taste(Qt::Key_Right, Qt::ControlModifier | Qt::AltModifier);
    taste(Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier);
    // The last row ends at the file's end, which is no mark.
    taste(Qt::Key_Down);
    const QStringList vorher = zeilen();
    taste(Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
    taste(Qt::Key_Left, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(zeilen(), vorher);

    taste(Qt::Key_Return);
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_EQ(form->Marken, (QStringList{"0:00:24,910", "0:00:50,090"}));
}

TEST_F(MarkenEditorTest, MarksNeverPassTheirNeighbours)
{
    zeigen(true, {"0:00:00,011", "0:00:10,000", "0:00:10,015"}, muster(1000), 60000);
    taste(Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(zeilen().at(0), QStringLiteral("1. 0:00:00,001 - 0:00:00,011"));
    taste(Qt::Key_Down);
    taste(Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(zeilen().at(1), QStringLiteral("2. 0:00:00,012 - 0:00:10,010"));
    EXPECT_EQ(zeilen().at(2), QStringLiteral("3. 0:00:10,011 - 0:00:10,015"));
    taste(Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(zeilen().at(1), QStringLiteral("2. 0:00:00,012 - 0:00:10,010"));
    taste(Qt::Key_Escape);
    EXPECT_EQ(form->result(), QDialog::Rejected);
}

TEST_F(MarkenEditorTest, DeletingAsksFirstAndRenumbersTheRows)
{
    struct Fall {
        const char *name;
        QStringList marken;
        QList<int> angehakt; // rows ticked before, current row stays the first
        int zeile;           // current row
        Qt::KeyboardModifiers mods;
        TMeldungAntwort antwort;
        QString frage;
        QStringList nachher;
    };
    const QString einer = QStringLiteral("Markierten Eintrag aus der Liste löschen?");
    const QString angehakte = QStringLiteral("Angehakte Einträge aus der Liste löschen?");
    const QStringList drei{"0:00:10,000", "0:00:20,000", "0:00:30,000"};
    const Fall faelle[] = {
        {"No keeps all", ZweiMarken, {}, 1, Qt::NoModifier, TMeldungAntwort::Nein, einer, ZweiMarken},
        {"middle row joins two segments",
         ZweiMarken,
         {},
         1,
         Qt::NoModifier,
         TMeldungAntwort::Ja,
         einer,
         {"0:00:25,000"}},
        {"last row drops the last mark",
         ZweiMarken,
         {},
         2,
         Qt::NoModifier,
         TMeldungAntwort::Ja,
         einer,
         {"0:00:25,000"}},
        {"one mark, either row", {"0:00:25,000"}, {}, 0, Qt::NoModifier, TMeldungAntwort::Ja, einer, {}},
        {"ticked rows 3 and 4", drei, {2, 3}, 0, Qt::ControlModifier, TMeldungAntwort::Ja, angehakte, {"0:00:10,000"}},
    };
    for (const Fall &f : faelle) {
        SCOPED_TRACE(f.name);
        zeigen(false, f.marken);
        for (int z : f.angehakt)
            liste()->topLevelItem(z)->setCheckState(0, Qt::Checked);
        liste()->setCurrentItem(liste()->topLevelItem(f.zeile));
        TMessageAnswers antworten{f.antwort};
        taste(Qt::Key_Delete, f.mods);
        EXPECT_EQ(antworten.texts(), QStringList{f.frage});
        EXPECT_EQ(form->Marken, f.nachher);
        EXPECT_EQ(liste()->topLevelItemCount(), f.nachher.isEmpty() ? 0 : f.nachher.size() + 1);
        if (!f.nachher.isEmpty()) {
            EXPECT_EQ(zeilen().constFirst().left(3), QStringLiteral("1. "));
        }
        EXPECT_EQ(form->Button1->isEnabled(), !f.nachher.isEmpty());
        form->reject();
        EXPECT_EQ(form->Marken, f.nachher);
    }
}

TEST_F(MarkenEditorTest, PopupMenuEnablesWhatFitsAndShortcutsStayHarmless)
{
    struct Fall {
        QStringList marken;
        QList<int> angehakt;
        bool etwas, auswahl, alle, keine;
    };
    const Fall faelle[] = {
        {ZweiMarken, {}, false, true, true, false},
        {ZweiMarken, {1}, true, true, true, true},
        {ZweiMarken, {0, 1, 2}, true, true, false, true},
        {{}, {}, false, false, false, false},
    };
    for (const Fall &f : faelle) {
        zeigen(true, f.marken);
        for (int z : f.angehakt)
            liste()->topLevelItem(z)->setCheckState(0, Qt::Checked);
        auto *menu = form->findChild<QMenu *>(QStringLiteral("PopupMenu1"));
        ASSERT_NE(menu, nullptr);
        emit liste()->customContextMenuRequested(QPoint(-1, -1));
        ASSERT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }));
        auto enabled = [this](const char *name) {
            return form->findChild<QAction *>(QLatin1String(name))->isEnabled();
        };
        for (const char *n : {"PopupPlayPlay", "PopupSpeichern", "PopupHakenLoeschen"})
            EXPECT_EQ(enabled(n), f.etwas) << n;
        for (const char *n :
             {"PopupLoeschen", "PopupMarkeLinks", "PopupMarkeRechts", "PopupMarkeLinks2", "PopupMarkeRechts2"})
            EXPECT_EQ(enabled(n), f.auswahl) << n;
        EXPECT_EQ(form->findChild<QMenu *>(QStringLiteral("PopupPlay"))->menuAction()->isEnabled(), f.auswahl);
        EXPECT_EQ(enabled("PopupAlleAnhaken"), f.alle);
        EXPECT_EQ(enabled("PopupKeineAnhaken"), f.keine);
        menu->hide();
        // With nothing ticked the play shortcut does nothing and says nothing.
        if (!f.etwas) {
            TMessageAnswers keine;
            taste(Qt::Key_W, Qt::ControlModifier);
            EXPECT_TRUE(keine.texts().isEmpty());
        }
        form->reject();
    }
}

TEST_F(MarkenEditorTest, SavesTickedSegmentsJoinedIntoANewFile)
{
    zeigen(true, ZweiMarken);
    {
        TMessageAnswers antworten{TMeldungAntwort::Ok};
        taste(Qt::Key_S, Qt::ControlModifier);
        EXPECT_EQ(antworten.texts(), QStringList{"Es sind keine Einträge angehakt!"});
    }
    liste()->topLevelItem(0)->setCheckState(0, Qt::Checked);
    liste()->topLevelItem(2)->setCheckState(0, Qt::Checked);
    DateidialogBeantworten(path("neu.mp3"));
    taste(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(readFile(path("neu.mp3")), daten.mid(0, 250001) + daten.mid(500001, 499999));
    EXPECT_EQ(form->focusWidget(), liste());
}

TEST_F(MarkenEditorTest, SavingOntoAnExistingFileAsksFirst)
{
    const QByteArray alt = mpeg::id3v2Tag(3, 100) + muster(5000, 3);
    const QByteArray tag = mpeg::id3v1Tag(QStringLiteral("Alt"));
    struct Fall {
        const char *name;
        TMeldungAntwort antwort;
        QByteArray nachher; // filled below
    };
    zeigen(true, ZweiMarken);
    liste()->topLevelItem(1)->setCheckState(0, Qt::Checked);
    const QByteArray neu = daten.mid(250001, 250000);
    const Fall faelle[] = {
        {"Ja appends where the ID3v1 tag began", TMeldungAntwort::Ja, alt + neu},
        {"Nein overwrites", TMeldungAntwort::Nein, neu},
        {"Abbrechen leaves it", TMeldungAntwort::Abbrechen, alt + tag},
    };
    for (const Fall &f : faelle) {
        SCOPED_TRACE(f.name);
        const QString ziel = writeFile(QStringLiteral("alt.mp3"), alt + tag);
        knopf(form.get(), "Button2")->setFocus();
        TMessageAnswers antworten{f.antwort};
        DateidialogBeantworten(ziel);
        form->findChild<QAction *>(QStringLiteral("PopupSpeichern"))->trigger();
        EXPECT_EQ(antworten.texts(), QStringList{QStringLiteral("Die Datei \"%1\" existiert bereits!\r\nSoll an die "
                                                                "bestehende Datei angehängt werden (Ja=anhängen; "
                                                                "Nein=überschreiben)?")
                                                     .arg(ziel)});
        EXPECT_EQ(readFile(ziel), f.nachher);
        EXPECT_EQ(form->focusWidget(), knopf(form.get(), "Button2"));
    }
    // Cancelling the file dialog writes nothing.
    const QStringList dateien = QDir(dir.path()).entryList(QDir::Files);
    DateidialogBeantworten(QString());
    taste(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), dateien);
}

// Playback through the sound server: silent frames of 26.12 ms each.
class MarkenEditorPlayback : public MarkenEditorTest {
protected:
    void SetUp() override
    {
        MarkenEditorTest::SetUp();
        if (QMediaDevices::defaultAudioOutput().isNull())
            FAIL() << "no sound server; CTest starts one, by hand: source scripts/services.sh; start_services";
        const mpeg::FrameSpec spec;
        audio = mpeg::frames(spec, 500, true);
        laenge = qint64(mpeg::durationMs(spec, 500));
    }
    TMediaPlayer *player() const { return form->findChild<TMediaPlayer *>(QStringLiteral("MediaPlayer1")); }

    QByteArray audio;
    qint64 laenge = 0;
};

TEST_F(MarkenEditorPlayback, PlaysTheCurrentSegmentItsEndAndTheTickedOnes)
{
    zeigen(true, {"0:00:05,000", "0:00:06,000"}, audio, laenge);
    struct Fall {
        const char *name;
        int taste;
        int zeile;
        qint64 ms;
    };
    const Fall faelle[] = {
        {"current row", Qt::Key_M, 0, 5000},
        {"its last two seconds", Qt::Key_L, 0, 2000},
        {"a row under two seconds whole", Qt::Key_L, 1, 1000},
        {"ticked rows one after another", Qt::Key_W, -1, 5000 + laenge - 6000},
    };
    liste()->topLevelItem(0)->setCheckState(0, Qt::Checked);
    liste()->topLevelItem(2)->setCheckState(0, Qt::Checked);
    for (const Fall &f : faelle) {
        SCOPED_TRACE(f.name);
        if (f.zeile >= 0)
            liste()->setCurrentItem(liste()->topLevelItem(f.zeile));
        taste(f.taste, Qt::ControlModifier);
        EXPECT_EQ(player()->FileName(), form->TmpFilename());
        EXPECT_EQ(player()->Mode(), TMPModes::mpPlaying);
        // Whole frames of the cut bytes: within two frames of the segment.
        EXPECT_NEAR(player()->Length(), f.ms, 60);
        taste(f.taste, Qt::ControlModifier);
        EXPECT_EQ(player()->Mode(), TMPModes::mpStopped);
    }
    form->reject();
}

TEST_F(MarkenEditorPlayback, SeeksByTheStepAndChangesTheVolumeByItsStep)
{
    zeigen(true, {"0:00:08,000"}, audio, laenge);
    int links = 0;
    int rechts = 0;
    ASSERT_TRUE(LautstaerkeSetzen(30000, 64000));
    taste(Qt::Key_Up, Qt::ControlModifier);
    ASSERT_TRUE(LautstaerkeLesen(links, rechts));
    EXPECT_EQ(links, 31967);
    EXPECT_EQ(rechts, 65535);
    taste(Qt::Key_Down, Qt::ControlModifier);
    taste(Qt::Key_Down, Qt::ControlModifier);
    ASSERT_TRUE(LautstaerkeLesen(links, rechts));
    EXPECT_EQ(links, 30000 - 1967);
    EXPECT_EQ(rechts, 65535 - 2 * 1967);

    // Seeking does nothing unless it plays.
    taste(Qt::Key_Right, Qt::ControlModifier);
    taste(Qt::Key_M, Qt::ControlModifier);
    ASSERT_EQ(player()->Mode(), TMPModes::mpPlaying);
    QTest::qWait(300);
    taste(Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(player()->Mode(), TMPModes::mpPlaying);
    EXPECT_LT(player()->Position(), 300);
    taste(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(player()->Mode(), TMPModes::mpPlaying);
    EXPECT_GE(player()->Position(), 5000);
    taste(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(player()->Mode(), TMPModes::mpStopped);
    // Closing stops; the next press builds the file again and plays from the start.
    taste(Qt::Key_M, Qt::ControlModifier);
    ASSERT_EQ(player()->Mode(), TMPModes::mpPlaying);
    form->reject();
    EXPECT_EQ(player()->Mode(), TMPModes::mpStopped);
    LautstaerkeSetzen(65535, 65535);
}

TEST_F(MarkenEditorPlayback, RefusesToPlayLessThan110Milliseconds)
{
    zeigen(true, {"0:00:00,100"}, audio, laenge);
    TMessageAnswers antworten{TMeldungAntwort::Ok};
    taste(Qt::Key_M, Qt::ControlModifier);
    EXPECT_EQ(antworten.texts(), QStringList{"Die Datei muss mindestens 0,110 Sekunden lang sein!"});
    EXPECT_TRUE(player()->FileName().isEmpty());
    // Saving the same selection has no minimum.
    liste()->topLevelItem(0)->setCheckState(0, Qt::Checked);
    DateidialogBeantworten(path("kurz.mp3"));
    taste(Qt::Key_S, Qt::ControlModifier);
    EXPECT_GT(QFileInfo(path("kurz.mp3")).size(), 0);
    form->reject();
}

} // namespace

namespace {

TEST_F(MarkenEditorTest, TakesTheProgramFontAndBackgroundAndFitsLargeCaptions)
{
    const TAussehen vorher = ProgrammAussehen();
    ProgrammAussehen().Schrift.setPointSize(28);
    ProgrammAussehen().Hintergrund = QColor(255, 255, 160);
    zeigen(false, ZweiMarken);
    form->Button1->setText(QStringLiteral("Teilen &starten"));
    form->SchalterEinrichten();
    EXPECT_EQ(liste()->font().pointSize(), 28);
    liste()->topLevelItem(0)->setCheckState(0, Qt::Checked);
    const QImage bild = liste()->viewport()->grab().toImage();
    EXPECT_EQ(bild.pixelColor(bild.width() / 2, bild.height() - 5), QColor(255, 255, 160));
    const int noetig = TextBreite(form->Button1->font(), QStringLiteral("Teilen starten"));
    EXPECT_GT(form->Button1->width(), noetig);
    EXPECT_LE(form->Button1->geometry().right(), form->width());
    EXPECT_LT(form->Button1->geometry().right(), knopf(form.get(), "Button2")->x());
    ProgrammAussehen() = vorher;
}

} // namespace

namespace {

TEST_F(MarkenEditorTest, AFullDiskWhileSavingIsToldAndTheEditorGoesOn)
{
    TKleinesDateisystem klein(path(QStringLiteral("klein")));
    if (!klein.ok())
        GTEST_SKIP() << "mounting a small file system needs root";
    zeigen(true, ZweiMarken);
    const QByteArray arbeitskopie = readFile(form->OriFilename);
    taste(Qt::Key_A, Qt::ControlModifier);
    const QString ziel = klein.pfad(QStringLiteral("alles.mp3"));
    {
        TMessageAnswers antworten{TMeldungAntwort::Ok};
        DateidialogBeantworten(ziel);
        taste(Qt::Key_S, Qt::ControlModifier);
        EXPECT_EQ(antworten.texts(),
                  QStringList{QStringLiteral("Die Datei \"%1\" konnte nicht erstellt werden!").arg(ziel)});
    }
    EXPECT_EQ(readFile(form->OriFilename), arbeitskopie);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    taste(Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(zeilen().constFirst(), QStringLiteral("1. 0:00:00,001 - 0:00:25,010"));
}

} // namespace
