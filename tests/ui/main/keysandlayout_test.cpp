#include "../support/recordingscreenreader.h"
#include "mainwindowfixture.h"
#include "support/formatting.h"
#include "ui/common/appearance.h"
#include "ui/common/windowmeasures.h"
#include "ui/main/hintergrundform.h"

#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>

namespace {

TEST_F(MainWindowTest, FieldsSpeakTheirNamesAndTheArrowKeysMoveBetweenThem)
{
    showForm();
    TRecordingScreenReader reader;
    form->Edit1->setFocus(Qt::TabFocusReason);
    reader.clear();
    QTest::keyClick(form->Edit1, Qt::Key_Down);
    QTest::keyClick(form->Edit2, Qt::Key_Down);
    QTest::keyClick(form->Edit3, Qt::Key_Down);
    EXPECT_EQ(form->focusWidget(), form->Edit4);
    // Down in the last field and Up in the first only beep.
    QTest::keyClick(form->Edit4, Qt::Key_Down);
    EXPECT_EQ(form->focusWidget(), form->Edit4);
    QTest::keyClick(form->Edit4, Qt::Key_Up);
    EXPECT_EQ(form->focusWidget(), form->Edit3);
    form->Edit1->setFocus(Qt::TabFocusReason);
    QTest::keyClick(form->Edit1, Qt::Key_Up);
    EXPECT_EQ(form->focusWidget(), form->Edit1);
    // With Shift held Down is no field key.
    QTest::keyClick(form->Edit1, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(form->focusWidget(), form->Edit1);
    EXPECT_EQ(reader.spoken(), (QStringList{"Dateigröße", "MP3-Dauer", "MP3-Position", "MP3-Dauer", "Dateiname"}));
    EXPECT_TRUE(reader.interrupting().isEmpty());
}

TEST_F(MainWindowTest, TabGoesThroughTheControlsInOrderAndTheCaretStartsAtTheBeginning)
{
    const QString file = mp3(QStringLiteral("tab.mp3"), 2000);
    showForm({file});
    WAIT_EQ(form->OriFilename(), file);
    TRecordingScreenReader reader;
    form->Edit4->setFocus(Qt::TabFocusReason);
    reader.clear();
    QWidget *folge[] = {form->TrackBar1, form->Memo1, form->Button2, form->Button1, form->Edit1};
    for (QWidget *w : folge) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), w) << w->objectName().toStdString();
    }
    EXPECT_EQ(reader.spoken(), (QStringList{"Lautstärke", "Dateiname"}));
    EXPECT_FALSE(form->Edit1->hasSelectedText());
    EXPECT_EQ(form->Edit1->cursorPosition(), 0);
    // Label accelerators reach their fields.
    QTest::keyClick(form.get(), Qt::Key_3, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), form->Edit3);
    QTest::keyClick(form.get(), Qt::Key_L, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), form->TrackBar1);
}

TEST_F(MainWindowTest, AFieldMovesItsCaretToTheStartOnlyAfterItsFocusIsAnnounced)
{
    // The focus reaches the accessibility layer right after the FocusIn event; a caret move
    // within it makes a screen reader take the field as focused already and say nothing.
    const QString file = mp3(QStringLiteral("caret.mp3"), 2000);
    showForm({file});
    WAIT_EQ(form->OriFilename(), file);
    int bewegt = 0;
    QObject::connect(form->Edit1, &QLineEdit::cursorPositionChanged, [&bewegt] { ++bewegt; });
    QObject::connect(form->Edit1, &QLineEdit::selectionChanged, [&bewegt] { ++bewegt; });
    for (const int vorher : {5, 0}) {
        SCOPED_TRACE(vorher);
        form->Edit2->setFocus(Qt::TabFocusReason);
        form->Edit1->setCursorPosition(vorher);
        QCoreApplication::processEvents();
        bewegt = 0;
        QTest::keyClick(form->Edit2, Qt::Key_Up);
        EXPECT_EQ(QApplication::focusWidget(), form->Edit1);
        EXPECT_EQ(bewegt, 0);
        WAIT_EQ(form->Edit1->cursorPosition(), 0);
        QCoreApplication::processEvents();
        EXPECT_FALSE(form->Edit1->hasSelectedText());
        // A caret at the start already stays put.
        EXPECT_EQ(bewegt > 0, vorher != 0);
    }
}

TEST_F(MainWindowTest, EveryInputControlTellsItsRoleAndTheNameItSpeaks)
{
    showForm();
    struct Erwartet {
        QWidget *control;
        QAccessible::Role role;
        QString name;
    };
    const Erwartet erwartet[] = {
        {form->Edit1, QAccessible::EditableText, QStringLiteral("Dateiname")},
        {form->Edit2, QAccessible::EditableText, QStringLiteral("Dateigröße")},
        {form->Edit3, QAccessible::EditableText, QStringLiteral("MP3-Dauer")},
        {form->Edit4, QAccessible::EditableText, QStringLiteral("MP3-Position")},
        {form->TrackBar1, QAccessible::Slider, QStringLiteral("Lautstärke")},
        {form->Memo1, QAccessible::EditableText, QStringLiteral("Teilungsinformationen")},
        {form->Button2, QAccessible::Button, QStringLiteral("Marke setzen")},
        {form->Button1, QAccessible::Button, QStringLiteral("Teilen...")},
        {form->ProgressBar1, QAccessible::ProgressBar, QStringLiteral("Fortschritt")},
    };
    for (const Erwartet &e : erwartet) {
        EXPECT_EQ(accessibleRole(e.control), e.role) << e.control->objectName().toStdString();
        EXPECT_EQ(accessibleName(e.control), e.name) << e.control->objectName().toStdString();
    }
    EXPECT_EQ(form->Label1->buddy(), form->Edit1);
    EXPECT_EQ(form->Label5->buddy(), form->TrackBar1);

    THintergrundForm *farben = form->HintergrundForm();
    EXPECT_EQ(accessibleRole(farben->ListBox1), QAccessible::List);
    EXPECT_EQ(accessibleName(farben->ListBox1), QStringLiteral("Farben"));
    EXPECT_EQ(accessibleName(farben->Button1), QStringLiteral("OK"));
    EXPECT_EQ(accessibleName(farben->Button2), QStringLiteral("Abbrechen"));
}

TEST_F(MainWindowTest, MenuItemsCarryTheirCaptionsAndShortcuts)
{
    showForm();
    const QList<std::pair<const char *, const char *>> punkte{
        {"MenuDateiOpen", "Ö&ffnen...\tStrg+O"},
        {"MenuDateiClose", "S&chließen\tStrg+F4"},
        {"MenuDateiBeenden", "&Beenden\tAlt+F4"},
        {"MenuAktTeilen", "&Teilen...\tStrg+T"},
        {"MenuAktZusammenfuegen", "Zusammenfügen...\tStrg+Z"},
        {"MenuAktMarkeSetzen", "&Marke setzen\tStrg+M"},
        {"MenuAktMarkenBearbeiten", "Marken &bearbeiten...\tStrg+B"},
        {"MenuAktMp3Infos", "MP3-&Informationen ändern\t"},
        {"MenuAktMp3InfosDatei", "Von geöffneter Date&i...\tStrg+I"},
        {"MenuAktMp3InfosMehrere", "Von zerteilten &Dateien...\tStrg+D"},
        {"MenuPlayPause", "Wiedergabe/Pause\tStrg+W"},
        {"MenuPlayStop", "Stop\tStrg+S"},
        {"MenuPlayVor", "Vorspulen\tStrg+Rechts"},
        {"MenuPlayRueck", "Rückspulen\tStrg+Links"},
        {"MenuPlayLauter", "Lauter\tStrg+Hoch"},
        {"MenuPlayLeiser", "Leiser\tStrg+Herunter"},
        {"MenuPlayGehe", "Gehe zu Minute...\tStrg+G"},
        {"MenuPlayGeheMarke", "Gehe zu Mar&ke...\tStrg+K"},
        {"MenuAnsSchriftart", "&Schriftart...\t"},
        {"MenuAnsHintergrund", "Schrift&hintergrund...\t"},
        {"MenuEinstBytes", "Teile in K&Bytes\t"},
        {"MenuEinstMinuten", "Teile in &Minuten\t"},
        {"MenuEinstSekunden", "Teile in &Sekunden\t"},
        {"MenuEinstMarken", "Teile bei Mar&ken\t"},
        {"MenuEinstSpulschritte", "Vor-/Rückspulschritte...\t"},
        {"MenuHilfeInfo", "Programm-&Info\t"},
        {"MenuHilfeHomepage", "Programm-Home&page...\t"},
        {"MenuHilfeUpdate", "Programm-&Aktualisierung...\t"},
        {"MenuHilfeAenderungen", "Programm-&Änderungen...\t"},
        {"MenuHilfeMail", "&Mail an den Programmierer...\t"},
        {"MenuHilfeSpenden", "&Spenden...\t"},
        {"PuKopieren", "&Kopieren\tStrg+C"},
        {"PuAllesMarkieren", "&Alles markieren\tStrg+A"},
    };
    for (const auto &[name, text] : punkte) {
        QAction *a = action(name);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->text() + QLatin1Char('\t') + a->shortcut().toString(QKeySequence::NativeText),
                  QString::fromUtf8(text));
    }
    QStringList oben;
    for (QAction *a : form->menuBar()->actions())
        oben << a->text();
    EXPECT_EQ(oben,
              (QStringList{"&Datei", "A&ktionen", "&Wiedergabesteuerung", "&Ansicht", "&Einstellungen", "&Hilfe"}));
}

TEST_F(MainWindowTest, TheSplitModeMenuChecksItsItemAndShowsTheModeWord)
{
    showForm();
    const QList<std::pair<const char *, const char *>> modi{{"MenuEinstBytes", "Modus: Bytes"},
                                                            {"MenuEinstMinuten", "Modus: Minuten"},
                                                            {"MenuEinstSekunden", "Modus: Sekunden"},
                                                            {"MenuEinstMarken", "Modus: Marken"}};
    int nr = 0;
    for (const auto &[name, text] : modi) {
        action(name)->trigger();
        EXPECT_EQ(form->Modus(), ++nr);
        EXPECT_TRUE(action(name)->isChecked());
        EXPECT_EQ(form->StatusPanel1->text(), QString::fromUtf8(text));
    }
    form->setModus(7);
    EXPECT_EQ(form->Modus(), 4);
}

TEST_F(MainWindowTest, HelpMenuOffersTheListOfChangesOnlyWhenItShipsAndHidesTheMissingUpdateTool)
{
    showForm();
    emit form->MenuHilfe->aboutToShow();
    EXPECT_EQ(action("MenuHilfeAenderungen")->isEnabled(),
              QFileInfo::exists(QCoreApplication::applicationDirPath() + QStringLiteral("/History.txt")));
    EXPECT_FALSE(action("MenuHilfeUpdate")->isVisible());
    TMessageAnswers answers{TMeldungAntwort::Ok};
    action("MenuHilfeInfo")->trigger();
    ASSERT_EQ(answers.shown().size(), 1);
    EXPECT_TRUE(answers.shown().constFirst().Text.startsWith(QStringLiteral("Zindara V1.42")));
}

TEST_F(MainWindowTest, ThePopUpMenuCopiesOnlyASelectionAndSelectsOnlyText)
{
    showForm();
    form->Edit1->setFocus();
    form->PopupMenu1->popup(QPoint());
    emit form->PopupMenu1->aboutToShow();
    form->PopupMenu1->close();
    EXPECT_FALSE(action("PuKopieren")->isEnabled());
    EXPECT_TRUE(action("PuAllesMarkieren")->isEnabled());
    action("PuAllesMarkieren")->trigger();
    EXPECT_EQ(form->Edit1->selectedText(), QStringLiteral("-"));
}

// The layout from the font: where the controls of the main window stand.
class Layout : public MainWindowTest, public ::testing::WithParamInterface<int> {
protected:
    // The window shown with the font of `punkte` points, its client area as on a 1280×800 work area.
    void zeigen(int punkte)
    {
        showForm();
        QFont schrift(QStringLiteral("DejaVu Sans"));
        schrift.setPointSize(punkte);
        ProgrammAussehen().Schrift = schrift;
        form->setHintergrundNr(form->HintergrundNr());
        const int oben = form->menuBar()->height();
        form->centralWidget()->setGeometry(0, oben, 1280, 800 - oben - form->StatusBar1->height());
    }

    QList<QWidget *> steuerelemente() const
    {
        QList<QWidget *> liste;
        for (QWidget *w : form->centralWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (w->isVisible())
                liste << w;
        }
        return liste;
    }
};

TEST_P(Layout, FollowsTheFont)
{
    zeigen(GetParam());
    const QFont &f = ProgrammAussehen().Schrift;
    const int h = SchriftHoehe(f, TSchalterArt::Edit);
    const int client = form->centralWidget()->width();
    int w = 0;
    for (QLabel *l : {form->Label1, form->Label2, form->Label3, form->Label4, form->Label5})
        w = std::max(w, l->width());
    EXPECT_EQ(form->Edit1->geometry(), QRect(10 + w + 5, 10, client - (10 + w + 5) - 10, h));
    EXPECT_EQ(form->Edit2->geometry(), QRect(10 + w + 5, 20 + h, (client - (10 + w + 5) - 10) / 2, h));
    EXPECT_EQ(form->Edit3->y(), 10 + 20 + h + h);
    const int progressOben = 10 + form->Edit3->y() + h;
    EXPECT_EQ(form->ProgressBar1->geometry(), QRect(form->Edit4->geometry().right() + 1 + 5, progressOben,
                                                    client - (form->Edit4->geometry().right() + 1 + 5) - 10, 2 * h));
    EXPECT_EQ(form->Edit4->y(), progressOben + (2 * h - h) / 2);
    EXPECT_EQ(form->TrackBar1->geometry(),
              QRect(form->Edit1->x(), progressOben + 2 * h + 10, form->Edit1->width(), 2 * h));
    for (auto [l, feld] : {std::pair<QLabel *, QWidget *>{form->Label1, form->Edit1},
                           {form->Label4, form->Edit4},
                           {form->Label5, form->TrackBar1}}) {
        EXPECT_EQ(l->x(), 10);
        EXPECT_EQ(l->y(), feld->y() + (feld->height() - l->height()) / 2);
    }
    const int knopf = form->Button1->width();
    EXPECT_GE(knopf, 125);
    EXPECT_EQ(form->Button2->height(), SchriftHoehe(f, TSchalterArt::Button));
    EXPECT_EQ(form->Button2->y(), form->centralWidget()->height() - form->Button2->height() - 10);
    EXPECT_EQ(form->Button2->x(), (client - 2 * knopf) / 3);
    EXPECT_EQ(form->Button1->x(), 2 * form->Button2->x() + knopf);
    EXPECT_EQ(form->Memo1->geometry(), QRect(30, form->TrackBar1->geometry().bottom() + 1 + 10, client - 60,
                                             form->Button1->y() - (form->TrackBar1->geometry().bottom() + 11) - 10));
    EXPECT_EQ(form->StatusBar1->height(), SchriftHoehe(f, TSchalterArt::StatusBar));
    EXPECT_EQ(form->StatusPanel1->width(), form->StatusBar1->width() * 21 / 100);
    EXPECT_EQ(form->StatusPanel2->width(), form->StatusBar1->width() * 20 / 100);
    // However long their texts, the panels lie side by side within the window.
    form->setStatusText(QString(200, QLatin1Char('M')));
    QCoreApplication::processEvents();
    EXPECT_EQ(form->StatusBar1->width(), form->width());
    EXPECT_LT(form->StatusPanel1->geometry().right(), form->StatusPanel2->x());
    EXPECT_LT(form->StatusPanel2->geometry().right(), form->StatusPanel3->x());
    EXPECT_LT(form->StatusPanel3->geometry().right(), form->StatusBar1->width());
}

TEST_P(Layout, KeepsEveryControlInsideTheWindowWithoutOverlap)
{
    zeigen(GetParam());
    const QRect client(QPoint(0, 0), form->centralWidget()->size());
    const QList<QWidget *> liste = steuerelemente();
    for (QWidget *a : liste) {
        EXPECT_TRUE(client.contains(a->geometry())) << a->objectName().toStdString();
        EXPECT_GT(a->height(), 0) << a->objectName().toStdString();
        for (QWidget *b : liste) {
            if (a != b) {
                EXPECT_FALSE(a->geometry().intersects(b->geometry()))
                    << a->objectName().toStdString() << " overlaps " << b->objectName().toStdString();
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Points, Layout, ::testing::Values(8, 10, 20, 28, 36));

TEST_F(MainWindowTest, TheWindowAlwaysFillsTheWorkArea)
{
    showForm();
    EXPECT_EQ(form->frameGeometry(), Arbeitsbereich(form.get()));
    form->resize(300, 200);
    EXPECT_EQ(form->frameGeometry(), Arbeitsbereich(form.get()));
}

} // namespace
