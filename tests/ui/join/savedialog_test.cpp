#include "joinfixture.h"

#include "cutting/savetarget.h"
#include "platform/player.h"
#include "platform/userfolders.h"
#include "support/formatting.h"
#include "support/mpegbuilder.h"
#include "ui/common/appearance.h"
#include "ui/join/mp3adddialog.h"
#include "ui/join/savedialog.h"
#include "ui/join/searchdialog.h"
#include "ui/support/controls.h"
#include "ui/support/messageanswers.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "cutting/smallfs.h"

namespace {

class SaveDialog : public JoinTest {
protected:
    // The collection dialog with every file of the tree found (subfolders searched).
    void sammeln(TMp3AddDlg &dlg, int anzahl = 4, bool unterordner = true)
    {
        findControl<QCheckBox>(&dlg, "Cb1Unterordner")->setChecked(unterordner);
        ASSERT_TRUE(zeigen(&dlg));
        ASSERT_EQ(gefunden(dlg), anzahl);
    }

    // "&Weiter" by its key; `imDialog` runs inside the order dialog, which is left by Escape.
    void weiter(const std::function<void(TSpeichernDlg *)> &imDialog)
    {
        bool gelaufen = false;
        wennModal<TSpeichernDlg>([&](TSpeichernDlg *dlg) {
            imDialog(dlg);
            gelaufen = true;
            if (dlg->isVisible())
                taste(Qt::Key_Escape);
        });
        taste(Qt::Key_W, Qt::AltModifier);
        EXPECT_TRUE(gelaufen);
    }

    // Ctrl+S in the order dialog, the target typed into the file dialog (empty: Escape).
    static void speichern(const QString &ziel)
    {
        bool gefragt = false;
        wennModal<QFileDialog>([&](QFileDialog *datei) {
            gefragt = true;
            EXPECT_EQ(datei->acceptMode(), QFileDialog::AcceptSave);
            if (ziel.isEmpty()) {
                taste(Qt::Key_Escape);
                return;
            }
            tasten(ziel);
            taste(Qt::Key_Return);
        });
        taste(Qt::Key_S, Qt::ControlModifier);
        EXPECT_TRUE(gefragt);
    }

    static QStringList namen(TSpeichernDlg *dlg)
    {
        auto *liste = dlg->findChild<QTreeWidget *>("ListView1");
        QStringList texte;
        for (int i = 0; i < liste->topLevelItemCount(); ++i)
            texte << liste->topLevelItem(i)->text(0);
        return texte;
    }
};

TEST_F(SaveDialog, TickedFilesPutInOrderAreJoinedWithoutTheirTags)
{
    TMp3AddDlg sammel;
    sammeln(sammel);
    auto *liste = findControl<QTreeWidget>(&sammel, "ListView1");
    liste->setFocus();
    taste(Qt::Key_Down);
    taste(Qt::Key_Space); // b.mp3 stays out
    const QString ziel = path("Ergebnis/alle.mp3");
    QDir().mkpath(path("Ergebnis"));
    TMessageAnswers antworten{TMeldungAntwort::Ok};
    weiter([&](TSpeichernDlg *dlg) {
        EXPECT_EQ(dlg->windowTitle(), "Reihenfolge ändern und in eine neue Datei speichern");
        EXPECT_EQ(namen(dlg), QStringList({"a.mp3", "Sub/c.mp3", "Sub/Tiefer/d.MP3"}));
        auto *oben = findControl<QPushButton>(dlg, "Btn3NachOben");
        auto *unten = findControl<QPushButton>(dlg, "Btn4NachUnten");
        EXPECT_EQ(QApplication::focusWidget(), findControl(dlg, "ListView1"));
        EXPECT_FALSE(oben->isEnabled());
        EXPECT_TRUE(unten->isEnabled());
        taste(Qt::Key_Down);
        taste(Qt::Key_Up, Qt::ControlModifier); // c first
        taste(Qt::Key_End);
        EXPECT_FALSE(unten->isEnabled());
        taste(Qt::Key_Down, Qt::ControlModifier); // refused at the end
        EXPECT_EQ(namen(dlg), QStringList({"Sub/c.mp3", "a.mp3", "Sub/Tiefer/d.MP3"}));
        // A moved row shows its own time and size.
        auto *rows = findControl<QTreeWidget>(dlg, "ListView1");
        EXPECT_EQ(rows->topLevelItem(0)->text(2), GroesseText(true, QFileInfo(path("Sub/c.mp3")).size()));
        speichern(ziel);
        EXPECT_TRUE(dlg->isVisible()) << "after a write the dialog stays open";
        EXPECT_EQ(dlg->focusWidget(), rows);
    });
    EXPECT_EQ(antworten.texts(), QStringList{"Die Datei \"" + ziel + "\" wurde erfolgreich erstellt!"});
    EXPECT_EQ(readFile(ziel), audio("Sub/c.mp3") + audio("a.mp3") + audio("Sub/Tiefer/d.MP3"));
    EXPECT_TRUE(sammel.isVisible()) << "the collection dialog stays open";
    EXPECT_EQ(liste->topLevelItem(0)->text(0), "a.mp3") << "the order lives in the order dialog only";
}

TEST_F(SaveDialog, AppendingToATaggedTargetKeepsItsTags)
{
    const QByteArray v2 = mpeg::id3v2Tag(3, 700);
    const QByteArray alt = mpeg::frames(mpeg::FrameSpec{}, 12);
    const QByteArray v1 = mpeg::id3v1Tag("Ziel", "Wer");
    const QString ziel = writeFile("Ziel.mp3", v2 + alt + v1);
    // The target lies outside the searched folder.
    ArbeitsordnerSetzen(path("Sub"));
    TMp3AddDlg sammel;
    sammeln(sammel, 2);
    TMessageAnswers antworten{TMeldungAntwort::Ja, TMeldungAntwort::Ok};
    weiter([&](TSpeichernDlg *) { speichern(ziel); });
    ASSERT_EQ(antworten.shown().size(), 2);
    EXPECT_EQ(antworten.shown()[0].Text, "Die Datei \"" + ziel +
                                             "\" existiert bereits!\r\nSoll an die bestehende Datei angehängt werden "
                                             "(Ja=anhängen; Nein=überschreiben)?");
    EXPECT_EQ(antworten.shown()[0].Knoepfe, TMeldungKnoepfe::JaNeinAbbrechen);
    EXPECT_EQ(antworten.shown()[1].Text, "Die Datei \"" + ziel + "\" wurde erfolgreich erstellt!");
    EXPECT_EQ(readFile(ziel), v2 + alt + audio("Sub/c.mp3") + audio("Sub/Tiefer/d.MP3") + v1);
}

TEST_F(SaveDialog, OverwritingAnExistingTargetMakesANewFile)
{
    const QString ziel = writeFile("Ziel.mp3", mpeg::id3v2Tag(3, 700) + mpeg::frames({}, 12));
    ArbeitsordnerSetzen(path("Sub"));
    TMp3AddDlg sammel;
    sammeln(sammel, 2);
    TMessageAnswers antworten{TMeldungAntwort::Nein, TMeldungAntwort::Ok};
    weiter([&](TSpeichernDlg *) { speichern(ziel); });
    EXPECT_EQ(readFile(ziel), audio("Sub/c.mp3") + audio("Sub/Tiefer/d.MP3"));
}

TEST_F(SaveDialog, AFileRemovedAfterTheSearchIsReportedAndTheOthersJoined)
{
    TMp3AddDlg sammel;
    sammeln(sammel);
    QFile::remove(path("b.mp3"));
    const QString ziel = path("ohne_b.mp3");
    TMessageAnswers antworten{TMeldungAntwort::Ok, TMeldungAntwort::Ok};
    weiter([&](TSpeichernDlg *) { speichern(ziel); });
    EXPECT_EQ(antworten.texts(), QStringList({"Fehler beim Lesen der Indatei \"" + path("b.mp3") + "\"!",
                                              "Die Datei \"" + ziel + "\" wurde erfolgreich erstellt!"}));
    EXPECT_EQ(readFile(ziel), audio("a.mp3") + audio("Sub/c.mp3") + audio("Sub/Tiefer/d.MP3"));
}

TEST_F(SaveDialog, ATargetOnAFullDiskIsReportedAndTheInputsStay)
{
    TKleinesDateisystem klein(path("klein"), QStringLiteral("8k"));
    if (!klein.ok())
        GTEST_SKIP() << "no tmpfs can be mounted here";
    const QByteArray v1 = mpeg::id3v1Tag("Voll");
    const QByteArray alt = mpeg::frames({}, 5);
    const QString bestehend = klein.pfad("bestehend.mp3");
    {
        QFile f(bestehend);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(alt + v1);
    }
    const auto vorher = stand();
    TMp3AddDlg sammel;
    sammeln(sammel, 2, false);
    for (const QString &ziel : {klein.pfad("neu.mp3"), bestehend}) {
        SCOPED_TRACE(ziel.toStdString());
        TMessageAnswers antworten;
        if (ziel == bestehend)
            antworten.add(TMeldungAntwort::Ja);
        // The write error, then the not-created message.
        antworten.add(TMeldungAntwort::Ok);
        antworten.add(TMeldungAntwort::Ok);
        weiter([&](TSpeichernDlg *) { speichern(ziel); });
        const QStringList texte = antworten.texts();
        // An existing target is also said to be unchanged.
        const QString gescheitert = "Die Datei \"" + ziel + "\" konnte nicht erstellt werden!";
        EXPECT_TRUE(ziel == bestehend ? texte.contains(gescheitert + " Die bestehende Datei ist unverändert.")
                                      : texte.contains(gescheitert))
            << texte.join('\n').toStdString();
    }
    const auto nachher = stand();
    for (const QString &datei : vorher.keys())
        if (!datei.startsWith("klein")) {
            EXPECT_EQ(nachher.value(datei), vorher.value(datei)) << datei.toStdString();
        }
    const QByteArray jetzt = readFile(bestehend);
    EXPECT_TRUE(jetzt.startsWith(alt)) << "the old audio stays";
    EXPECT_TRUE(jetzt.endsWith(v1)) << "the old tag stays at the end";
}

TEST_F(SaveDialog, CancelAtEveryStepLeavesTheDiskAsItWas)
{
    QDir().mkpath(path("Ergebnis"));
    const QString ziel = writeFile("Ergebnis/Ziel.mp3", mpeg::frames({}, 8) + mpeg::id3v1Tag("Z"));
    const auto vorher = stand();
    TMp3AddDlg sammel;
    sammeln(sammel, 2, false);
    bool zurueck = false;
    weiter([&](TSpeichernDlg *dlg) {
        // The question answered Abbrechen keeps the order dialog open.
        {
            TMessageAnswers antworten{TMeldungAntwort::Abbrechen};
            speichern(ziel);
            EXPECT_EQ(antworten.shown().size(), 1u);
            EXPECT_TRUE(dlg->isVisible());
        }
        // Cancelling the file dialog closes the order dialog with OK.
        speichern(QString());
        EXPECT_FALSE(dlg->isVisible());
        EXPECT_EQ(dlg->result(), QDialog::Accepted);
        zurueck = true;
    });
    EXPECT_TRUE(zurueck);
    weiter([&](TSpeichernDlg *dlg) {
        taste(Qt::Key_Z, Qt::AltModifier);
        EXPECT_EQ(dlg->result(), QDialog::Rejected);
    });
    taste(Qt::Key_Escape);
    EXPECT_FALSE(sammel.isVisible());
    EXPECT_EQ(stand(), vorher);
}

TEST_F(SaveDialog, ATargetThatIsOneOfTheInputsLosesNothing)
{
    TMp3AddDlg sammel;
    sammeln(sammel);
    const auto vorher = stand();
    const QString a = path("a.mp3");
    {
        TMessageAnswers antworten{TMeldungAntwort::Nein, TMeldungAntwort::Ok};
        weiter([&](TSpeichernDlg *dlg) {
            speichern(a);
            EXPECT_TRUE(dlg->isVisible());
        });
        EXPECT_EQ(antworten.texts().value(1), ZielIstEingabeText(a));
        EXPECT_EQ(stand(), vorher) << "an input is never deleted to make room for the target";
    }
    {
        // Appended to itself, a.mp3 is not read while it grows: the others follow its audio.
        TMessageAnswers antworten{TMeldungAntwort::Ja, TMeldungAntwort::Ok, TMeldungAntwort::Ok};
        weiter([&](TSpeichernDlg *) { speichern(a); });
        EXPECT_EQ(antworten.texts().mid(1), QStringList({"Fehler beim Lesen der Indatei \"" + a + "\"!",
                                                         "Die Datei \"" + a + "\" wurde erfolgreich erstellt!"}));
    }
    const QByteArray alt = vorher.value("a.mp3");
    EXPECT_EQ(readFile(a),
              alt.chopped(128) + audio("b.mp3") + audio("Sub/c.mp3") + audio("Sub/Tiefer/d.MP3") + alt.right(128));
    for (const QString datei : {"b.mp3", "Sub/c.mp3", "Sub/Tiefer/d.MP3"})
        EXPECT_EQ(readFile(path(datei)), vorher.value(datei));
}

TEST_F(SaveDialog, TheWindowIgnoresItsOwnCommandsWhileItWrites)
{
    // A big input, so the write hands pending messages back many times.
    writeFile("gross.mp3", mpeg::frames({}, 12000));
    ArbeitsordnerSetzen(ordner());
    TMp3AddDlg sammel;
    findControl<QCheckBox>(&sammel, "Cb1Unterordner")->setChecked(false);
    ASSERT_TRUE(zeigen(&sammel));
    ASSERT_EQ(gefunden(sammel), 3);
    TMessageAnswers antworten{TMeldungAntwort::Ok};
    weiter([&](TSpeichernDlg *dlg) {
        auto *liste = findControl<QTreeWidget>(dlg, "ListView1");
        int versuche = 0;
        // While the copy runs, the order keys reach nothing.
        QTimer stoerer;
        QObject::connect(&stoerer, &QTimer::timeout, [&] {
            if (QApplication::overrideCursor()) {
                ++versuche;
                QTest::keyClick(liste, Qt::Key_Down, Qt::ControlModifier);
                QTest::keyClick(liste, Qt::Key_S, Qt::ControlModifier);
            }
        });
        stoerer.start(0);
        speichern(path("gross_ziel.mp3"));
        stoerer.stop();
        EXPECT_GT(versuche, 0);
        EXPECT_EQ(namen(dlg), QStringList({"a.mp3", "b.mp3", "gross.mp3"}));
    });
    EXPECT_EQ(antworten.texts().size(), 1);
    EXPECT_EQ(readFile(path("gross_ziel.mp3")), audio("a.mp3") + audio("b.mp3") + mpeg::frames({}, 12000));
}

TEST_F(SaveDialog, PlaysTheCurrentFileOnThePlayer)
{
    TMp3AddDlg sammel;
    sammeln(sammel);
    auto *spieler = sammel.findChild<TMediaPlayer *>("MediaPlayer1");
    findControl(&sammel, "ListView1")->setFocus();
    taste(Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(spieler->Mode(), TMPModes::mpPlaying);
    EXPECT_EQ(spieler->FileName(), path("a.mp3"));
    taste(Qt::Key_W, Qt::ControlModifier);
    EXPECT_NE(spieler->Mode(), TMPModes::mpPlaying);
    // A file gone since the search: the player's message, nothing plays.
    QFile::remove(path("Sub/Tiefer/d.MP3"));
    taste(Qt::Key_End);
    {
        TMessageAnswers antworten{TMeldungAntwort::Ok};
        taste(Qt::Key_W, Qt::ControlModifier);
        ASSERT_EQ(antworten.shown().size(), 1);
        EXPECT_EQ(antworten.shown()[0].Art, TMeldungArt::Fehler);
        EXPECT_NE(spieler->Mode(), TMPModes::mpPlaying);
    }
    taste(Qt::Key_Home);
    taste(Qt::Key_W, Qt::ControlModifier);
    weiter([&](TSpeichernDlg *dlg) {
        EXPECT_NE(spieler->Mode(), TMPModes::mpPlaying) << "going on stops the playback";
        auto *eigener = dlg->findChild<TMediaPlayer *>("MediaPlayer1");
        taste(Qt::Key_Down);
        taste(Qt::Key_W, Qt::ControlModifier);
        EXPECT_EQ(eigener->Mode(), TMPModes::mpPlaying);
        EXPECT_EQ(eigener->FileName(), path("b.mp3"));
        taste(Qt::Key_Up, Qt::ControlModifier); // moving stops it
        EXPECT_NE(eigener->Mode(), TMPModes::mpPlaying);
        taste(Qt::Key_W, Qt::ControlModifier);
    });
}

TEST_F(SaveDialog, ControlsNameThemselvesAndSitByTheFont)
{
    TMp3AddDlg sammel;
    sammeln(sammel);
    weiter([&](TSpeichernDlg *dlg) {
        struct Fall {
            const char *name;
            QAccessible::Role rolle;
            QString gesprochen;
        };
        for (const Fall &f : std::initializer_list<Fall>{{"ListView1", QAccessible::Tree, "Reihenfolge der Dateien"},
                                                         {"Btn3NachOben", QAccessible::Button, "Nach oben"},
                                                         {"Btn4NachUnten", QAccessible::Button, "Nach unten"},
                                                         {"Btn1Speichern", QAccessible::Button, "Speichern..."},
                                                         {"Btn2Zurueck", QAccessible::Button, "Zurück"}}) {
            QWidget *w = findControl(dlg, f.name);
            EXPECT_EQ(accessibleRole(w), f.rolle) << f.name;
            EXPECT_EQ(accessibleName(w), f.gesprochen) << f.name;
        }
        const QRect schirm = dlg->screen()->geometry();
        EXPECT_EQ(dlg->size(), QSize(schirm.width(), schirm.height() * 90 / 100));
        const int g = (dlg->width() - 500) / 5;
        int x = g;
        for (const char *knopf : {"Btn3NachOben", "Btn4NachUnten", "Btn1Speichern", "Btn2Zurueck"}) {
            EXPECT_EQ(findControl(dlg, knopf)->x(), x) << knopf;
            x += 125 + g;
        }
    });
}

} // namespace

namespace {

// Each control is at least as wide as its caption needs, inside the window and clear of the others.
void BeschriftungenPassen(QWidget *dlg, std::initializer_list<const char *> namen)
{
    QList<QRect> belegt;
    for (const char *name : namen) {
        QWidget *w = findControl(dlg, name);
        EXPECT_GE(w->width(), w->sizeHint().width()) << name;
        EXPECT_TRUE(dlg->rect().contains(w->geometry())) << name;
        for (const QRect &r : belegt)
            EXPECT_FALSE(r.intersects(w->geometry())) << name;
        belegt.append(w->geometry());
    }
}

TEST_F(SaveDialog, AtALargeFontEveryCaptionFitsItsControl)
{
    const QFont vorher = ProgrammAussehen().Schrift;
    ProgrammAussehen().Schrift.setPointSize(36);
    {
        TMp3AddDlg sammel;
        sammeln(sammel);
        BeschriftungenPassen(&sammel, {"Btn3Wechseln", "Cb1Unterordner", "Btn1Ok", "Btn2Abbrechen"});
        weiter([&](TSpeichernDlg *dlg) {
            BeschriftungenPassen(dlg, {"Btn3NachOben", "Btn4NachUnten", "Btn1Speichern", "Btn2Zurueck"});
            EXPECT_GT(findControl(dlg, "ListView1")->height(), dlg->height() / 2);
        });
    }
    ProgrammAussehen().Schrift = vorher;
}

} // namespace
