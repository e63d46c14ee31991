#include "cutting/smallfs.h"
#include "editorfixture.h"
#include "platform/player.h"
#include "support/formatting.h"
#include "support/mpegbuilder.h"
#include "ui/main/bytesform.h"
#include "ui/main/gehemarkeform.h"
#include "ui/main/mainwindow.h"
#include "ui/support/messageanswers.h"
#include "ui/support/recordingscreenreader.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTreeWidget>

namespace {

// MPEG-2 Layer I at 24 kHz and 80 kbit/s: 160 bytes and exactly 16 ms per frame, so 6250 frames
// are a copy of 1,000,000 bytes that plays 100,000 ms.
QByteArray audio(int frames)
{
    return mpeg::frames(mpeg::format(mpeg::Version::Mpeg2, 1, 80, 24000), frames);
}

class MainWindowSplit : public TempDirTest {
protected:
    void TearDown() override
    {
        form.reset();
        TempDirTest::TearDown();
    }

    // Opens `bytes` as Kapitel.mp3 through the command line, as a second start would.
    void oeffnen(const QByteArray &bytes, const QString &datei = {})
    {
        original = datei.isEmpty() ? writeFile(QStringLiteral("Kapitel.mp3"), bytes) : datei;
        if (!datei.isEmpty()) {
            QFile f(datei);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            ASSERT_EQ(f.write(bytes), bytes.size());
        }
        form = std::make_unique<TForm1>(QStringList{original});
        ASSERT_TRUE(showActive(form.get()));
        ASSERT_TRUE(QTest::qWaitFor([this] { return form->OriFilename() == original; }));
    }

    void taste(int key, Qt::KeyboardModifiers mods = Qt::ControlModifier)
    {
        if (!form->isActiveWindow()) {
            form->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        }
        QWidget *ziel = QApplication::focusWidget() ? QApplication::focusWidget() : form.get();
        QTest::keyClick(ziel, Qt::Key(key), mods);
    }

    // Ctrl+M at `ms`.
    void markeBei(qint64 ms)
    {
        form->MediaPlayer1()->setPosition(ms);
        taste(Qt::Key_M);
    }

    QString teil(int nr) const { return path(QStringLiteral("Kapitel_%1.mp3").arg(nr, 4, 10, QLatin1Char('0'))); }
    QList<qint64> teilGroessen() const
    {
        QList<qint64> g;
        for (int nr = 1; QFile::exists(teil(nr)); ++nr)
            g << QFileInfo(teil(nr)).size();
        return g;
    }
    QStringList memo() const { return form->Memo1->toPlainText().split(QLatin1Char('\n')); }

    TRecordingScreenReader sprecher;
    std::unique_ptr<TForm1> form;
    QString original;
};

// What the memo showed each time it changed during a split, and what went on meanwhile.
struct TMemoProtokoll {
    QStringList zeilen;
    QList<int> teileDa;
    bool immerSanduhr = true;
};

TEST_F(MainWindowSplit, SplitsAtTheMarksSetWhileListening)
{
    const QByteArray daten = audio(6250);
    ASSERT_EQ(daten.size(), 1000000);
    oeffnen(daten);
    ASSERT_EQ(form->MediaPlayer1()->Length(), 100000);
    form->MenuEinstMarken->trigger();
    {
        TMessageAnswers antworten{TMeldungAntwort::Ok, TMeldungAntwort::Ok};
        markeBei(50000);
        markeBei(25000);
        EXPECT_EQ(antworten.texts(),
                  (QStringList{"Marke auf Position 0:00:50,000 gesetzt!", "Marke auf Position 0:00:25,000 gesetzt!"}));
    }
    EXPECT_EQ(form->Marken(), (QStringList{"25000", "50000"}));
    EXPECT_EQ(form->StatusPanel2->text(), QStringLiteral("Marken: 2"));

    // The copy announces each piece before writing it, under the hourglass, and the window
    // ignores its own keys meanwhile (Ctrl+M would ask something).
    TMemoProtokoll protokoll;
    QObject::connect(form->Memo1, &QPlainTextEdit::textChanged, form.get(), [this, &protokoll] {
        protokoll.zeilen << memo().constLast();
        protokoll.teileDa << teilGroessen().size();
        protokoll.immerSanduhr = protokoll.immerSanduhr && QApplication::overrideCursor() &&
                                 QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        QTest::keyClick(form.get(), Qt::Key_M, Qt::ControlModifier);
    });
    BeiModalemFenster([](QWidget *w) {
        auto *editor = qobject_cast<TMarkenForm *>(w);
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->windowTitle(), QStringLiteral("Marken bearbeiten und teilen starten"));
        EXPECT_EQ(editor->Button1->text(), QStringLiteral("Teilen &starten"));
        EXPECT_EQ(editor->Marken, (QStringList{"0:00:25,000", "0:00:50,000"}));
        EXPECT_EQ(editor->findChild<QTreeWidget *>("ListView1")->topLevelItemCount(), 3);
        editor->Button1->click();
    });
    taste(Qt::Key_T);
    QObject::disconnect(form->Memo1, nullptr, form.get(), nullptr);

    EXPECT_EQ(teilGroessen(), (QList<qint64>{250001, 250001, 499998}));
    EXPECT_EQ(readFile(teil(1)) + readFile(teil(2)) + readFile(teil(3)), daten);
    EXPECT_EQ(form->SplitDateien(), (QStringList{teil(1), teil(2), teil(3)}));
    EXPECT_EQ(form->Marken(), (QStringList{"25000", "50000"}));
    const QStringList erwartet{"Teilungsinformationen:",
                               "Modus: Marken",
                               "Marken gesetzt: 2",
                               QStringLiteral("Teile in \"%1\"...").arg(teil(1)),
                               QStringLiteral("Teile in \"%1\"...").arg(teil(2)),
                               QStringLiteral("Teile in \"%1\"...").arg(teil(3)),
                               "3 Dateien erstellt."};
    EXPECT_EQ(memo(), erwartet);
    EXPECT_EQ(protokoll.zeilen.mid(protokoll.zeilen.size() - 4), erwartet.mid(3));
    EXPECT_EQ(protokoll.teileDa.mid(protokoll.teileDa.size() - 4), (QList<int>{0, 1, 2, 3}));
    EXPECT_TRUE(protokoll.immerSanduhr);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // The caret on the last line, in the focused memo, for the screen reader.
    EXPECT_EQ(form->focusWidget(), form->Memo1);
    EXPECT_EQ(form->Memo1->textCursor().block().text(), QStringLiteral("3 Dateien erstellt."));
    const auto taste = [](QAction *a) { return a->shortcut().toString(QKeySequence::NativeText); };
    EXPECT_EQ(form->StatusText(), QStringLiteral("%1=MP3-Datei öffnen; %2=MP3-Informationen zerteilter Dateien")
                                      .arg(taste(form->MenuDateiOpen), taste(form->MenuAktMp3InfosMehrere)));
}

TEST_F(MainWindowSplit, RefusesMarksAtTheEndsTwiceOrTooClose)
{
    oeffnen(audio(6250));
    form->Marken() = QStringList{"10000"};
    struct Fall {
        qint64 ms;
        QString text;
    };
    const QString platz = QStringLiteral("Es muss mindestens 0,010 Sekunden Platz gelassen werden!");
    const QString enden = QStringLiteral("Am Anfang/Ende darf keine Marke gesetzt werden!");
    const Fall faelle[] = {{0, enden},    {100000, enden}, {10000, "Marke bereits auf Position 0:00:10,000 gesetzt!"},
                           {9990, platz}, {10010, platz},  {10001, platz}};
    for (const Fall &f : faelle) {
        TMessageAnswers antworten{TMeldungAntwort::Ok};
        markeBei(f.ms);
        EXPECT_EQ(antworten.texts(), QStringList{f.text}) << f.ms;
        EXPECT_EQ(form->Marken(), QStringList{"10000"});
    }
    TMessageAnswers antworten{TMeldungAntwort::Ok, TMeldungAntwort::Ok};
    form->MediaPlayer1()->setPosition(10011);
    form->Button2->click();
    markeBei(36000);
    EXPECT_EQ(antworten.texts(),
              (QStringList{"Marke auf Position 0:00:10,011 gesetzt!", "Marke auf Position 0:00:36,000 gesetzt!"}));
    EXPECT_EQ(form->Marken(), (QStringList{"10000", "10011", "36000"}));
    EXPECT_EQ(form->StatusPanel2->text(), QStringLiteral("Marken: 3"));
    EXPECT_EQ(form->MediaPlayer1()->Mode(), TMPModes::mpStopped);
}

TEST_F(MainWindowSplit, MarksGoToTheEditorAndComeBackOnlyWithOk)
{
    oeffnen(audio(12500)); // 200 s
    form->Marken() = QStringList{"5000", "83250", "120000"};
    // OK takes the moved mark.
    BeiModalemFenster([](QWidget *w) {
        auto *editor = qobject_cast<TMarkenForm *>(w);
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->windowTitle(), QStringLiteral("Marken bearbeiten"));
        EXPECT_EQ(editor->Button1->text(), QStringLiteral("O&K"));
        EXPECT_EQ(editor->Marken, (QStringList{"0:00:05,000", "0:01:23,250", "0:02:00,000"}));
        EXPECT_EQ(editor->MaxLength, 200000);
        EXPECT_EQ(editor->VorRueckSekunden, 5);
        EXPECT_EQ(editor->PlusVolume, 1967);
        QTest::keyClick(editor->findChild<QTreeWidget *>("ListView1"), Qt::Key_Right,
                        Qt::ControlModifier | Qt::ShiftModifier);
        editor->Button1->click();
    });
    taste(Qt::Key_B);
    EXPECT_EQ(form->Marken(), (QStringList{"5010", "83250", "120000"}));
    EXPECT_EQ(form->StatusPanel2->text(), QStringLiteral("Marken: 3"));

    // Closing with "S&chließen" after a deletion leaves the marks as they were.
    BeiModalemFenster([](QWidget *w) {
        auto *editor = qobject_cast<TMarkenForm *>(w);
        ASSERT_NE(editor, nullptr);
        editor->Marken.clear();
        editor->findChild<QPushButton *>("Button2")->click();
    });
    form->MenuAktMarkenBearbeiten->trigger();
    EXPECT_EQ(form->Marken(), (QStringList{"5010", "83250", "120000"}));

    // Cancelling the split at marks writes nothing and keeps the memo.
    form->MenuEinstMarken->trigger();
    const QString memoVorher = form->Memo1->toPlainText();
    BeiModalemFenster([](QWidget *w) { QTest::keyClick(w, Qt::Key_Escape); });
    taste(Qt::Key_T);
    EXPECT_TRUE(teilGroessen().isEmpty());
    EXPECT_EQ(form->Memo1->toPlainText(), memoVorher);
    EXPECT_TRUE(form->SplitDateien().isEmpty());

    // Without marks the editor cannot start a split.
    form->Marken().clear();
    BeiModalemFenster([](QWidget *w) {
        auto *editor = qobject_cast<TMarkenForm *>(w);
        ASSERT_NE(editor, nullptr);
        EXPECT_FALSE(editor->Button1->isEnabled());
        QTest::keyClick(w, Qt::Key_Return);
        EXPECT_TRUE(w->isVisible());
        editor->reject();
    });
    form->MenuAktTeilen->trigger();
    EXPECT_TRUE(teilGroessen().isEmpty());
}

TEST_F(MainWindowSplit, GoesToTheChosenMark)
{
    oeffnen(audio(6250));
    form->Marken() = QStringList{"5000", "83250", "90000"};
    BeiModalemFenster([](QWidget *w) {
        auto *dialog = qobject_cast<TGeheMarkeForm *>(w);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Gehe zu Marke"));
        auto *liste = dialog->findChild<QListWidget *>("ListBox1");
        EXPECT_EQ(liste->item(1)->text(), QStringLiteral("2.: 0:01:23,250"));
        QTest::keyClick(liste, Qt::Key_Down);
        QTest::keyClick(liste, Qt::Key_Return);
    });
    taste(Qt::Key_K);
    EXPECT_EQ(form->MediaPlayer1()->Position(), 83250);
    EXPECT_EQ(form->Edit4->text(), QStringLiteral("0:01:23,250"));
    EXPECT_EQ(form->focusWidget(), form->Edit4);
    EXPECT_EQ(form->Marken(), (QStringList{"5000", "83250", "90000"}));
}

TEST_F(MainWindowSplit, SplitsByKilobytesIntoNearlyEqualPiecesAndOffersTheNumberAgain)
{
    const QByteArray daten = audio(62500);
    ASSERT_EQ(daten.size(), 10000000);
    oeffnen(daten);
    form->MenuEinstBytes->trigger();
    BeiModalemFenster([](QWidget *w) {
        auto *dialog = qobject_cast<TBytesForm *>(w);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->Edit1->text(), QStringLiteral("1"));
        EXPECT_TRUE(dialog->Edit2->isVisible());
        QTest::keyClicks(dialog->Edit1, QStringLiteral("1x0y00"));
        EXPECT_EQ(dialog->Edit1->text(), QStringLiteral("1000"));
        QTest::keyClick(dialog->Edit1, Qt::Key_Return);
    });
    taste(Qt::Key_T);
    QList<qint64> erwartet(9, 1005530);
    erwartet << 950230;
    EXPECT_EQ(teilGroessen(), erwartet);
    EXPECT_EQ(form->SplitDateien().size(), 10);
    EXPECT_EQ(memo().mid(0, 3), (QStringList{"Teilungsinformationen:", "Modus: Bytes", "Bytes pro Datei: 1.005.530"}));
    EXPECT_EQ(memo().constLast(), QStringLiteral("10 Dateien erstellt."));
    EXPECT_EQ(form->LastMinNr, 1000);

    // The number comes back next time; cancel changes nothing.
    const QString memoVorher = form->Memo1->toPlainText();
    BeiModalemFenster([](QWidget *w) {
        auto *dialog = qobject_cast<TBytesForm *>(w);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->Edit1->text(), QStringLiteral("1000"));
        QTest::keyClick(dialog->Edit1, Qt::Key_Escape);
    });
    form->Button1->click();
    EXPECT_EQ(form->Memo1->toPlainText(), memoVorher);
    EXPECT_EQ(form->SplitDateien().size(), 10);
}

TEST_F(MainWindowSplit, SplitsBySecondsWithAnOverlap)
{
    const QByteArray daten = audio(6250); // 10,000 bytes a second
    oeffnen(daten);
    form->MenuEinstSekunden->trigger();
    BeiModalemFenster([](QWidget *w) {
        auto *dialog = qobject_cast<TBytesForm *>(w);
        ASSERT_NE(dialog, nullptr);
        QTest::keyClicks(dialog->Edit1, QStringLiteral("30"));
        QTest::keyClick(dialog->Edit1, Qt::Key_Tab);
        QTest::keyClicks(dialog->Edit2, QStringLiteral("2"));
        QTest::keyClick(dialog->Edit2, Qt::Key_Return);
    });
    taste(Qt::Key_T);
    // 300,000 bytes shrink until the last piece holds 95 % of a full one; each piece after the
    // first starts with the 20,000 bytes that ended the one before.
    const qint64 p = 253485;
    EXPECT_EQ(teilGroessen(), (QList<qint64>{p, p + 20000, p + 20000, 1000000 - 3 * p + 20000}));
    EXPECT_EQ(readFile(teil(2)), daten.mid(p - 20000, p + 20000));
    EXPECT_EQ(form->Vorspann, 20000);
    EXPECT_EQ(form->Bytes, p);
}

TEST_F(MainWindowSplit, TheNumberDialogInItsFiveUses)
{
    oeffnen(audio(62500)); // 10,000,000 bytes, 1000 s
    struct Fall {
        QAction *TForm1::*befehl;
        int modus;
        QString caption;
        QString label;
        int min, max;
        QString knopf;
        bool vorspann;
    };
    const Fall faelle[] = {
        {&TForm1::MenuAktTeilen, 1, "KBytes eingeben", "Dateigröße in KBytes eingeben (Max. 9.765):", 1, 9765,
         "Teilen &starten", true},
        {&TForm1::MenuAktTeilen, 2, "Minuten eingeben", "Dateigröße in Minuten eingeben (Max. 16):", 1, 16,
         "Teilen &starten", true},
        {&TForm1::MenuAktTeilen, 3, "Sekunden eingeben", "Dateigröße in Sekunden eingeben (Max. 1.000):", 1, 1000,
         "Teilen &starten", true},
        {&TForm1::MenuEinstSpulschritte, 1, "Spulschritte eingeben", "Spulschritte in Sekunden eingeben (Max. 60):", 1,
         60, "O&K", false},
        {&TForm1::MenuPlayGehe, 1, "Gehe zu Minute", "Sprungziel in Minuten eingeben (Max. 16):", 0, 16, "O&K", false},
    };
    for (const Fall &f : faelle) {
        SCOPED_TRACE(f.caption.toStdString());
        form->setModus(f.modus);
        sprecher.clear();
        BeiModalemFenster([&f, this](QWidget *w) {
            auto *dialog = qobject_cast<TBytesForm *>(w);
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->windowTitle(), f.caption);
            EXPECT_EQ(dialog->Label1->text(), f.label);
            EXPECT_EQ(dialog->MinNr, f.min);
            EXPECT_EQ(dialog->MaxNr, f.max);
            EXPECT_EQ(dialog->Button1->text(), f.knopf);
            EXPECT_EQ(dialog->Edit2->isVisible(), f.vorspann);
            EXPECT_EQ(dialog->Label2->isVisible(), f.vorspann);
            // Each field speaks its label and tells a screen reader its name and role.
            EXPECT_EQ(accessibleRole(dialog->Edit1), QAccessible::EditableText);
            EXPECT_EQ(accessibleName(dialog->Edit1), AmpersandEntfernen(f.label));
            if (f.vorspann) {
                EXPECT_EQ(accessibleRole(dialog->Edit2), QAccessible::EditableText);
                EXPECT_EQ(accessibleName(dialog->Edit2), QStringLiteral("Überlappung in Sekunden eingeben (0-9):"));
                QTest::keyClick(dialog->Edit1, Qt::Key_Tab);
                EXPECT_EQ(sprecher.spoken().value(sprecher.spoken().size() - 1),
                          QStringLiteral("Überlappung in Sekunden eingeben (0-9):"));
                EXPECT_GE(dialog->width(), dialog->Edit2->geometry().right());
            }
            EXPECT_EQ(sprecher.spoken().value(0), AmpersandEntfernen(f.label));
            QTest::keyClick(w, Qt::Key_Escape);
        });
        (form.get()->*f.befehl)->trigger();
        EXPECT_TRUE(teilGroessen().isEmpty());
    }
}

TEST_F(MainWindowSplit, AnUnusableNumberOrATinyFileSplitsNothing)
{
    oeffnen(audio(6250));
    form->MenuEinstMinuten->trigger();
    {
        // An empty field.
        TMessageAnswers antworten{TMeldungAntwort::Ok};
        BeiModalemFenster([](QWidget *w) {
            auto *dialog = qobject_cast<TBytesForm *>(w);
            ASSERT_NE(dialog, nullptr);
            QTest::keyClick(dialog->Edit1, Qt::Key_Backspace);
            QTest::keyClick(dialog->Edit1, Qt::Key_Return);
        });
        taste(Qt::Key_T);
        EXPECT_EQ(antworten.texts(), QStringList{"Fehler bei Eingabe!"});
    }
    EXPECT_TRUE(teilGroessen().isEmpty());
    EXPECT_EQ(memo(), QStringList{"Teilungsinformationen:"});

    // Less than a minute of audio cannot be cut into minutes.
    form = std::make_unique<TForm1>(QStringList{writeFile(QStringLiteral("Kurz.mp3"), audio(3000))});
    ASSERT_TRUE(showActive(form.get()));
    ASSERT_TRUE(QTest::qWaitFor([this] { return !form->OriFilename().isEmpty(); }));
    form->MenuEinstMinuten->trigger();
    TMessageAnswers antworten{TMeldungAntwort::Ok};
    taste(Qt::Key_T);
    EXPECT_EQ(antworten.texts(), QStringList{"Die Datei ist zu klein, um sie zu zerteilen!"});
    EXPECT_TRUE(QDir(dir.path()).entryList({"Kurz_*"}).isEmpty());
}

TEST_F(MainWindowSplit, AFileUnderOneSecondHasNoSplitAndNoMarks)
{
    oeffnen(audio(50)); // 0.8 s
    for (QAction *a : {form->MenuAktTeilen, form->MenuAktMarkeSetzen, form->MenuAktMarkenBearbeiten})
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    EXPECT_FALSE(form->Button1->isEnabled());
    EXPECT_FALSE(form->Button2->isEnabled());
    form->MediaPlayer1()->setPosition(400);
    taste(Qt::Key_M);
    taste(Qt::Key_T);
    EXPECT_TRUE(form->Marken().isEmpty());
    EXPECT_TRUE(teilGroessen().isEmpty());
}

TEST_F(MainWindowSplit, AFullDiskEndsTheSplitWithTheMessageAndKeepsWhatWasWritten)
{
    TKleinesDateisystem klein(path(QStringLiteral("klein")), QStringLiteral("1600k"));
    if (!klein.ok())
        GTEST_SKIP() << "mounting a small file system needs root";
    const QByteArray daten = audio(6250);
    oeffnen(daten, klein.pfad(QStringLiteral("Kapitel.mp3")));
    const QByteArray arbeitskopie = readFile(form->TmpFilename());
    form->MenuEinstSekunden->trigger();
    TMessageAnswers antworten{TMeldungAntwort::Ok};
    BeiModalemFenster([](QWidget *w) {
        auto *dialog = qobject_cast<TBytesForm *>(w);
        ASSERT_NE(dialog, nullptr);
        QTest::keyClicks(dialog->Edit1, QStringLiteral("25"));
        QTest::keyClick(dialog->Edit1, Qt::Key_Return);
    });
    taste(Qt::Key_T);
    EXPECT_EQ(antworten.texts(), QStringList{"Es trat ein Fehler beim Teilen auf!"});
    const QStringList teile = form->SplitDateien();
    ASSERT_GE(teile.size(), 2);
    EXPECT_EQ(teile.constFirst(), klein.pfad(QStringLiteral("Kapitel_0001.mp3")));
    EXPECT_EQ(memo().constLast(), QStringLiteral("%1 Dateien erstellt.").arg(teile.size()));
    for (const QString &t : teile)
        EXPECT_TRUE(memo().contains(QStringLiteral("Teile in \"%1\"...").arg(t)));
    EXPECT_EQ(readFile(original), daten);
    EXPECT_EQ(readFile(form->TmpFilename()), arbeitskopie);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // The window goes on taking commands.
    for (const QString &t : teile)
        QFile::remove(t);
    TMessageAnswers nochmal{TMeldungAntwort::Ok};
    markeBei(30000);
    EXPECT_EQ(form->Marken(), QStringList{"30000"});
}

} // namespace
