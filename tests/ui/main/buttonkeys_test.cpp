#include "mainwindowfixture.h"
#include "platform/player.h"
#include "platform/registrystore.h"
#include "platform/settings.h"
#include "ui/common/appearance.h"
#include "ui/main/bytesform.h"
#include "ui/main/hintergrundform.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFontDialog>
#include <QListWidget>

// What a user does with the keys alone: Tab to a button and Enter, the pop-up menu, the memo's
// caret, the font colour and the names handed over.
namespace {

// Tab until `knopf` has the focus (at most ten times); false when it never gets it.
bool tabZu(QWidget *knopf)
{
    QWidget *fenster = knopf->window();
    if (!QTest::qWaitForWindowActive(fenster, 1000)) {
        fenster->activateWindow();
        (void)QTest::qWaitForWindowActive(fenster);
    }
    for (int i = 0; i < 10 && fenster->focusWidget() != knopf; ++i)
        QTest::keyClick(fenster->focusWidget(), Qt::Key_Tab);
    return fenster->focusWidget() == knopf;
}

// The Menu key (or Shift+F10) on `feld`, as the platform hands it on, then `taste` in the
// pop-up menu; true when the menu showed and closed.
bool menuTaste(QWidget *feld, Qt::Key taste)
{
    bool gezeigt = false;
    whenFound<QMenu>(&QApplication::activePopupWidget, [&](QMenu *m) {
        gezeigt = true;
        QTest::keyClick(m, taste);
    });
    const QPoint stelle = feld->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
    QContextMenuEvent e(QContextMenuEvent::Keyboard, stelle, feld->mapToGlobal(stelle));
    QApplication::sendEvent(feld, &e);
    (void)QTest::qWaitFor([&] { return gezeigt && !QApplication::activePopupWidget(); }, 2000);
    QTest::qWait(50);
    return gezeigt;
}

class ButtonKeys : public MainWindowTest {
protected:
    void oeffnen(int frames = 5000) // 2:10
    {
        file = mp3(QStringLiteral("Buch.mp3"), frames);
        showForm({file});
        WAIT_EQ(form->OriFilename(), file);
    }
    QStringList stuecke() const
    {
        return QDir(dir.path()).entryList({QStringLiteral("Buch_*")}, QDir::Files);
    }
    QString file;
};

TEST_F(ButtonKeys, EnterOnAbbrechenInTheSplitDialogCancels)
{
    oeffnen();
    ASSERT_EQ(form->Modus(), 2);
    bool abbrechen = false;
    whenModal<TBytesForm>([&](TBytesForm *f) {
        QTest::keyClicks(f->Edit1, QStringLiteral("1"));
        abbrechen = tabZu(f->Button2);
        QTest::keyClick(f->focusWidget(), Qt::Key_Return);
        if (f->isVisible())
            f->reject();
    });
    QTest::keyClick(form->Edit1, Qt::Key_T, Qt::ControlModifier);
    EXPECT_TRUE(abbrechen);
    EXPECT_TRUE(form->SplitDateien().isEmpty());
    EXPECT_EQ(stuecke(), QStringList());
}

TEST_F(ButtonKeys, EnterOnAbbrechenInGoToMinuteLeavesThePosition)
{
    oeffnen();
    form->MediaPlayer1()->setPosition(30000);
    whenModal<TBytesForm>([](TBytesForm *f) {
        QTest::keyClicks(f->Edit1, QStringLiteral("2"));
        EXPECT_TRUE(tabZu(f->Button2));
        QTest::keyClick(f->focusWidget(), Qt::Key_Return);
        if (f->isVisible())
            f->reject();
    });
    QTest::keyClick(form->Edit1, Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(form->MediaPlayer1()->Position(), 30000);
}

TEST_F(ButtonKeys, EnterOnAbbrechenInTheColourDialogKeepsWhite)
{
    showForm();
    whenModal<THintergrundForm>([](THintergrundForm *f) {
        QTest::keyClick(f->ListBox1, Qt::Key_Down);
        QTest::keyClick(f->ListBox1, Qt::Key_Down);
        EXPECT_TRUE(tabZu(f->Button2));
        QTest::keyClick(f->focusWidget(), Qt::Key_Return);
        if (f->isVisible())
            f->reject();
    });
    action("MenuAnsHintergrund")->trigger();
    EXPECT_EQ(form->HintergrundNr(), 1);
    EXPECT_EQ(THintergrundForm::FarbName(form->HintergrundNr()), QStringLiteral("Weiß"));
    TRegistryStore store;
    if (store.OpenKey(QLatin1String(EinstellungenSchluessel), false)) {
        EXPECT_NE(store.ReadInteger(QStringLiteral("HintColor")), 3);
    }
}

// The default button still answers Enter in a field, and Enter on OK presses OK.
TEST_F(ButtonKeys, EnterOnOkOrInTheFieldConfirms)
{
    oeffnen();
    for (const bool aufOk : {true, false}) {
        form->MediaPlayer1()->setPosition(0);
        whenModal<TBytesForm>([aufOk](TBytesForm *f) {
            // The dialog comes back with the last minute in the field; the user types over it.
            f->Edit1->setFocus(Qt::TabFocusReason);
            QTest::keyClick(f->Edit1, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(f->Edit1, QStringLiteral("1"));
            EXPECT_EQ(f->Edit1->text(), QStringLiteral("1"));
            if (aufOk) {
                EXPECT_TRUE(tabZu(f->Button1));
            }
            QTest::keyClick(aufOk ? f->focusWidget() : static_cast<QWidget *>(f->Edit1), Qt::Key_Return);
            if (f->isVisible())
                f->reject();
        });
        // The shortcut reaches the main window only once it is active again after the last dialog.
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        QTest::keyClick(form->Edit1, Qt::Key_G, Qt::ControlModifier);
        EXPECT_EQ(form->MediaPlayer1()->Position(), 60000) << (aufOk ? "on OK" : "in the field");
    }
}

TEST_F(ButtonKeys, EnterOnMarkeSetzenSetsAMark)
{
    oeffnen();
    form->MediaPlayer1()->setPosition(30000);
    form->Memo1->setFocus(Qt::TabFocusReason);
    QTest::keyClick(form->Memo1, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), form->Button2);
    TMessageAnswers answers{TMeldungAntwort::Ok};
    QTest::keyClick(form->Button2, Qt::Key_Return);
    EXPECT_EQ(answers.texts(), QStringList{QStringLiteral("Marke auf Position 0:00:30,000 gesetzt!")});
    EXPECT_EQ(form->Marken().size(), 1);
    EXPECT_EQ(form->StatusPanel2->text(), QStringLiteral("Marken: 1"));
}

TEST_F(ButtonKeys, KopierenInTheMemoCopiesTheSelection)
{
    showForm();
    form->setMemoText(QStringLiteral("Zeile zwei"));
    form->Memo1->setFocus(Qt::TabFocusReason);
    QTest::qWait(20);
    QTest::keyClick(form->Memo1, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(form->Memo1, Qt::Key_End, Qt::ShiftModifier);
    ASSERT_EQ(form->Memo1->textCursor().selectedText(), QStringLiteral("Teilungsinformationen:"));
    QApplication::clipboard()->setText(QStringLiteral("vorher"));
    EXPECT_TRUE(menuTaste(form->Memo1, Qt::Key_K));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("Teilungsinformationen:"));
    EXPECT_EQ(form->Memo1->textCursor().selectedText(), QStringLiteral("Teilungsinformationen:"));
}

TEST_F(ButtonKeys, AllesMarkierenInAFieldStaysSelected)
{
    oeffnen();
    form->Edit1->setFocus(Qt::TabFocusReason);
    QTest::qWait(20);
    EXPECT_TRUE(menuTaste(form->Edit1, Qt::Key_A));
    EXPECT_EQ(form->Edit1->selectedText(), file);
}

TEST_F(ButtonKeys, TheMemoKeepsItsCaretWhenTheWindowIsActivatedAgain)
{
    showForm();
    form->setMemoText(QStringLiteral("Zeile zwei"));
    form->setMemoText(QStringLiteral("Zeile drei"));
    form->Memo1->setFocus(Qt::TabFocusReason);
    QTest::qWait(20);
    QTest::keyClick(form->Memo1, Qt::Key_Down);
    QTest::keyClick(form->Memo1, Qt::Key_Down);
    const int stelle = form->Memo1->textCursor().position();
    ASSERT_GT(stelle, 0);
    // Another window comes and goes, as a dialog or Alt+Tab does.
    QWidget anderes;
    anderes.setWindowTitle(QStringLiteral("Anderes"));
    ASSERT_TRUE(showActive(&anderes));
    anderes.close();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::qWait(20);
    EXPECT_EQ(form->focusWidget(), form->Memo1);
    EXPECT_EQ(form->Memo1->textCursor().position(), stelle);
    // Coming in from within the window, the caret goes to the start.
    QTest::keyClick(form->Memo1, Qt::Key_Tab, Qt::ShiftModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), form->Memo1);
    EXPECT_EQ(form->Memo1->textCursor().position(), 0);
}

// The font dialog is followed by the font colour, stored as "FontColor"; Cancel there keeps it.
TEST_F(ButtonKeys, TheFontColourIsChosenAfterTheFontAndStored)
{
    showForm();
    QString titel;
    whenModal<QFontDialog>([&](QFontDialog *d) {
        whenModal<THintergrundForm>([&](THintergrundForm *f) {
            titel = f->windowTitle();
            EXPECT_EQ(f->focusWidget(), f->ListBox1);
            EXPECT_EQ(f->ListBox1->currentItem()->text(), QStringLiteral("Schwarz"));
            QTest::keyClick(f->ListBox1, Qt::Key_Down);
            QTest::keyClick(f->ListBox1, Qt::Key_Down);
            QTest::keyClick(f->ListBox1, Qt::Key_Return);
        });
        QTest::keyClick(d, Qt::Key_Return);
    });
    action("MenuAnsSchriftart")->trigger();
    EXPECT_EQ(titel, QStringLiteral("Schriftfarbe wählen"));
    EXPECT_EQ(form->Edit1->palette().color(QPalette::Text), QColor(255, 255, 0));
    {
        TRegistryStore store;
        ASSERT_TRUE(store.OpenKey(QLatin1String(EinstellungenSchluessel), false));
        EXPECT_EQ(store.ReadInteger(QStringLiteral("FontColor")), 0x00FFFF);
    }
    // Cancelled, the colour stays; it also comes back with the next start.
    whenModal<QFontDialog>([&](QFontDialog *d) {
        whenModal<THintergrundForm>([&](THintergrundForm *f) {
            EXPECT_EQ(f->ListBox1->currentItem()->text(), QStringLiteral("Gelb"));
            QTest::keyClick(f->ListBox1, Qt::Key_Down);
            QTest::keyClick(f->ListBox1, Qt::Key_Escape);
        });
        QTest::keyClick(d, Qt::Key_Return);
    });
    action("MenuAnsSchriftart")->trigger();
    form->close();
    form.reset();
    ProgrammAussehen().SchriftFarbe = Qt::black;
    showForm();
    EXPECT_EQ(form->Edit1->palette().color(QPalette::Text), QColor(255, 255, 0));
}

TEST_F(ButtonKeys, AFolderHandedOverLeavesTheOpenFileAsItIs)
{
    const QString ordner = path(QStringLiteral("Ordner.mp3"));
    ASSERT_TRUE(QDir().mkpath(ordner));
    oeffnen();
    // No message box: the test's answerer fails on any.
    openByHandOver(ordner);
    EXPECT_EQ(form->OriFilename(), file);
    EXPECT_EQ(form->Edit1->text(), file);
    EXPECT_TRUE(action("MenuPlayPause")->isEnabled());
    form.reset();
    showForm({ordner});
    QTest::qWait(50);
    EXPECT_TRUE(form->OriFilename().isEmpty());
}

} // namespace
