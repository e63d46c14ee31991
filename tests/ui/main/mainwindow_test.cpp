#include "mainwindowfixture.h"
#include "support/formatting.h"
#include "ui/common/apptitle.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <sys/stat.h>

namespace {

// 2000 frames of 417 bytes: 834.000 bytes, 0:00:52,244.
constexpr int Frames = 2000;
const QString Dauer = QStringLiteral("0:00:52,244");

QStringList memoLines(TForm1 &form)
{
    return form.Memo1->toPlainText().split(QLatin1Char('\n'));
}

TEST(MainWindow, ClosingTheWindowEndsTheEventLoop)
{
    TForm1 form;
    form.show();
    QTimer::singleShot(0, &form, &QWidget::close);
    EXPECT_EQ(QApplication::exec(), 0);
}

TEST(MainWindow, KeepsOnlyNonBlankArgumentsAsParameters)
{
    TForm1 form({QStringLiteral("   "), QStringLiteral(" /x/a.mp3 "), QStringLiteral("/x/b.mp3")});
    EXPECT_EQ(form.Parameters(), (QStringList{QStringLiteral("/x/a.mp3"), QStringLiteral("/x/b.mp3")}));
}

TEST_F(MainWindowTest, StartsWithoutAFile)
{
    showForm();
    EXPECT_EQ(form->objectName(), QStringLiteral("Form1"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("NoName - Zindara V1.42"));
    EXPECT_EQ(AnwendungsTitel(), QStringLiteral("NoName - Zindara V1.42"));
    for (QLineEdit *e : {form->Edit1, form->Edit2, form->Edit3, form->Edit4})
        EXPECT_EQ(e->text(), QStringLiteral("-"));
    EXPECT_EQ(form->StatusPanel1->text(), QStringLiteral("Modus: Minuten"));
    EXPECT_EQ(form->StatusPanel2->text(), QStringLiteral("Marken: 0"));
    EXPECT_EQ(form->StatusPanel3->text(), QStringLiteral("Strg+O=MP3-Datei öffnen"));
    EXPECT_EQ(form->Memo1->toPlainText(), QStringLiteral("Teilungsinformationen:"));
    EXPECT_EQ(form->focusWidget(), form->Edit1);
    // The status panels are labels, so a screen reader reads their texts.
    EXPECT_EQ(form->StatusPanel3->parentWidget(), form->StatusBar1);
    EXPECT_EQ(accessibleName(form->StatusPanel3), QStringLiteral("Strg+O=MP3-Datei öffnen"));
}

TEST_F(MainWindowTest, OpensTheFirstFileOfTheCommandLineAndShowsItsFacts)
{
    // An ID3v2 tag of 4096 bytes and an ID3v1 tag are not part of the working copy.
    const QString file =
        mp3(QStringLiteral("Kapitel.mp3"), Frames, mpeg::id3v2Tag(3, 4096), mpeg::id3v1Tag(QStringLiteral("Titel")));
    const QByteArray vorher = readFile(file);
    showForm({QStringLiteral("  "), file, path(QStringLiteral("zweite.mp3"))});
    WAIT_EQ(form->OriFilename(), file);
    EXPECT_TRUE(form->Parameters().isEmpty());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Kapitel.mp3 - Zindara V1.42"));
    EXPECT_EQ(AnwendungsTitel(), QStringLiteral("Kapitel.mp3 - Zindara V1.42"));
    EXPECT_EQ(form->Edit1->text(), file);
    EXPECT_EQ(form->Edit2->text(), QStringLiteral("834.000 Bytes"));
    EXPECT_EQ(form->Edit3->text(), Dauer);
    EXPECT_EQ(form->Edit4->text(), QStringLiteral("0:00:00,000"));
    EXPECT_EQ(form->Mp3Size(), 834000);
    EXPECT_EQ(form->Mp3Sekunden(), 52);
    EXPECT_EQ(readFile(form->TmpFilename()).size(), vorher.size() - 4096 - 128);
    EXPECT_EQ(form->Id3v1Tag().Title(), QStringLiteral("Titel"));
    EXPECT_EQ(form->StatusPanel3->text(),
              QStringLiteral("Strg+T=Teilen; Strg+M=Marke setzen; Strg+I=MP3-Informationen"));
    EXPECT_EQ(form->NeueDatei(12), path(QStringLiteral("Kapitel_0012.mp3")));
    EXPECT_EQ(form->focusWidget(), form->Edit1);
    EXPECT_EQ(readFile(file), vorher);
}

TEST_F(MainWindowTest, OpensTheFileChosenInTheOpenDialog)
{
    const QString file = mp3(QStringLiteral("Dialog.mp3"), Frames);
    showForm();
    form->Marken() << QStringLiteral("5000");
    form->setStatusMarken(1);
    QString filter;
    whenModal<QFileDialog>([&](QFileDialog *dialog) {
        filter = dialog->nameFilters().join(QLatin1Char('|'));
        dialog->selectFile(file);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    QTest::keyClick(form->Edit1, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(filter, QStringLiteral("MP3-Dateien (*.MP3 *.mp3)|Alle Dateien (*)"));
    EXPECT_EQ(form->OriFilename(), file);
    EXPECT_EQ(form->Edit2->text(), QStringLiteral("834.000 Bytes"));
    EXPECT_TRUE(form->Marken().isEmpty());
    EXPECT_EQ(form->StatusPanel2->text(), QStringLiteral("Marken: 0"));
    EXPECT_EQ(form->InitialDirStr(), dir.path());
    EXPECT_FALSE(form->IsDialogOpen());
}

TEST_F(MainWindowTest, EnterAndAClickInTheFileNameOpenTheDialogAndCancelKeepsTheFile)
{
    const QString file = mp3(QStringLiteral("Bleibt.mp3"), Frames);
    showForm({file});
    WAIT_EQ(form->OriFilename(), file);
    int gezeigt = 0;
    auto abbrechen = [&](QFileDialog *dialog) {
        ++gezeigt;
        EXPECT_TRUE(form->IsDialogOpen());
        dialog->reject();
    };
    whenModal<QFileDialog>(abbrechen);
    QTest::keyClick(form->Edit1, Qt::Key_Return);
    EXPECT_EQ(gezeigt, 1);
    whenModal<QFileDialog>(abbrechen);
    QTest::mouseClick(form->Edit1, Qt::LeftButton);
    WAIT_EQ(gezeigt, 2);
    EXPECT_EQ(form->OriFilename(), file);
    EXPECT_EQ(form->focusWidget(), form->Edit1);
}

TEST_F(MainWindowTest, ClosingTheFileWithCtrlF4ReturnsToTheStateWithoutAFile)
{
    const QString file = mp3(QStringLiteral("Zu.mp3"), Frames);
    showForm({file});
    WAIT_EQ(form->OriFilename(), file);
    form->SplitDateien() << QStringLiteral("/x/a_0001.mp3");
    form->Memo1->setFocus();
    QTest::keyClick(form->Memo1, Qt::Key_F4, Qt::ControlModifier);
    EXPECT_TRUE(form->OriFilename().isEmpty());
    EXPECT_TRUE(form->SplitDateien().isEmpty());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("NoName - Zindara V1.42"));
    for (QLineEdit *e : {form->Edit1, form->Edit2, form->Edit3, form->Edit4})
        EXPECT_EQ(e->text(), QStringLiteral("-"));
    EXPECT_EQ(form->ProgressBar1->value(), 0);
    EXPECT_EQ(form->StatusPanel3->text(), QStringLiteral("Strg+O=MP3-Datei öffnen"));
    EXPECT_FALSE(form->Id3v1Tag().Exists());
    EXPECT_EQ(form->focusWidget(), form->Edit1);
}

// Which commands may be used: the table of states of the main window.
struct Freigabe {
    const char *name;
    bool ohneDatei;
    bool langeDatei;
    bool kurzeDatei;
};

const Freigabe Freigaben[] = {
    {"MenuDateiOpen", true, true, true},
    {"MenuAktZusammenfuegen", true, true, true},
    {"MenuAktTeilen", false, true, false},
    {"Button1", false, true, false},
    {"MenuAktMarkeSetzen", false, true, false},
    {"Button2", false, true, false},
    {"MenuAktMarkenBearbeiten", false, true, false},
    {"MenuPlayPause", false, true, true},
    {"MenuPlayStop", false, true, true},
    {"MenuPlayVor", false, true, true},
    {"MenuPlayRueck", false, true, true},
    {"MenuPlayGehe", false, true, true},
    {"MenuPlayGeheMarke", false, true, true},
    {"MenuPlayLauter", true, true, true},
    {"MenuPlayLeiser", true, true, true},
    {"MenuAnsSchriftart", true, true, true},
    {"MenuAnsHintergrund", true, true, true},
    {"MenuEinstMarken", true, true, true},
    {"MenuEinstSpulschritte", true, true, true},
    {"MenuHilfeInfo", true, true, true},
};

bool freigegeben(TForm1 &form, const char *name)
{
    if (auto *a = form.findChild<QAction *>(QLatin1String(name)))
        return a->isEnabled();
    return findControl(&form, QLatin1String(name))->isEnabled();
}

TEST_F(MainWindowTest, CommandsAreEnabledAsTheStateAllows)
{
    const QString lang = mp3(QStringLiteral("lang.mp3"), Frames);
    const QString kurz = mp3(QStringLiteral("kurz.mp3"), 20);
    showForm();
    for (const Freigabe &f : Freigaben)
        EXPECT_EQ(freigegeben(*form, f.name), f.ohneDatei) << "without a file: " << f.name;
    emit form->MenuDatei->aboutToShow();
    EXPECT_FALSE(action("MenuDateiClose")->isEnabled());

    openByHandOver(lang);
    ASSERT_EQ(form->OriFilename(), lang);
    // Before the player's first report every playback item is enabled.
    for (const Freigabe &f : Freigaben)
        EXPECT_EQ(freigegeben(*form, f.name), f.langeDatei) << "with a file: " << f.name;
    emit form->MenuDatei->aboutToShow();
    EXPECT_TRUE(action("MenuDateiClose")->isEnabled());

    openByHandOver(kurz);
    ASSERT_EQ(form->OriFilename(), kurz);
    for (const Freigabe &f : Freigaben)
        EXPECT_EQ(freigegeben(*form, f.name), f.kurzeDatei) << "with a short file: " << f.name;
    EXPECT_EQ(memoLines(*form).last(), QStringLiteral("Datei hat weniger als 1 Sekunde dauer!"));
    EXPECT_EQ(form->MemoText(), QStringLiteral("Datei hat weniger als 1 Sekunde dauer!"));
    // The caret is on the new line, so a screen reader reads it.
    EXPECT_EQ(form->Memo1->textCursor().blockNumber(), 1);
    EXPECT_EQ(form->Memo1->textCursor().positionInBlock(), 0);
}

class FailedOpening : public MainWindowTest, public ::testing::WithParamInterface<const char *> {};

QString fehlerDatei(const QString &art, const QString &ordner)
{
    const QString name = ordner + QStringLiteral("/kaputt.mp3");
    if (art == QLatin1String("folder")) {
        QDir().mkpath(name);
    } else if (art == QLatin1String("fifo")) {
        ::mkfifo(QFile::encodeName(name).constData(), 0600);
    } else if (art == QLatin1String("noframe")) {
        QFile f(name);
        if (f.open(QIODevice::WriteOnly))
            f.write(mpeg::junk(50000));
    } else if (art == QLatin1String("empty")) {
        QFile f(name);
        (void)f.open(QIODevice::WriteOnly);
    } else if (art == QLatin1String("onlytags")) {
        QFile f(name);
        if (f.open(QIODevice::WriteOnly))
            f.write(mpeg::id3v2Tag(3, 2048) + mpeg::id3v1Tag(QStringLiteral("nur Tags")));
    }
    // "missing": deleted after it was chosen.
    return name;
}

TEST_P(FailedOpening, ShowsTheMessageEndsWithoutAFileAndLeavesTheFileAlone)
{
    const QString vorher = mp3(QStringLiteral("vorher.mp3"), Frames);
    showForm({vorher});
    WAIT_EQ(form->OriFilename(), vorher);
    const QString name = fehlerDatei(QLatin1String(GetParam()), dir.path());
    const QByteArray inhalt =
        QFileInfo(name).isFile() && QLatin1String(GetParam()) != QLatin1String("fifo") ? readFile(name) : QByteArray();
    {
        TMessageAnswers answers{TMeldungAntwort::Ok};
        form->setOriFilename(name);
        EXPECT_TRUE(form->FehlerS());
        form->setOriFilename(QString());
        // The text of every opening failure and, on a second line, why.
        const QMap<QString, QString> warum{
            {"folder", "Der Name ist ein Ordner, keine Datei."},
            {"fifo", "Der Name ist keine gewöhnliche Datei."},
            {"noframe", "Die Datei enthält keine MPEG-Audiodaten."},
            {"onlytags", "Die Datei enthält keine MPEG-Audiodaten."},
            {"empty", "Die Datei ist leer."},
            {"missing", "Die Datei gibt es nicht."},
        };
        EXPECT_EQ(answers.texts(), QStringList{QStringLiteral("Fehler beim Öffnen der Datei!\n") +
                                               warum.value(QLatin1String(GetParam()))});
        EXPECT_EQ(answers.shown().constFirst().Art, TMeldungArt::Fehler);
    }
    EXPECT_TRUE(form->OriFilename().isEmpty());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("NoName - Zindara V1.42"));
    EXPECT_EQ(form->Edit1->text(), QStringLiteral("-"));
    EXPECT_FALSE(action("MenuPlayPause")->isEnabled());
    EXPECT_FALSE(form->Timer1->isActive());
    if (!inhalt.isEmpty()) {
        EXPECT_EQ(readFile(name), inhalt);
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, FailedOpening,
                         ::testing::Values("folder", "fifo", "noframe", "onlytags", "empty", "missing"));

TEST_F(MainWindowTest, AHandedOverNameThatDoesNotExistIsIgnoredSilently)
{
    const QString file = mp3(QStringLiteral("da.mp3"), Frames);
    showForm();
    openByHandOver(path(QStringLiteral("fehlt.mp3")));
    EXPECT_TRUE(form->OriFilename().isEmpty());
    // The first name that exists is opened, the others are dropped.
    openByHandOver(path(QStringLiteral("fehlt.mp3")) + QStringLiteral("|") + file);
    EXPECT_EQ(form->OriFilename(), file);
    EXPECT_TRUE(form->Parameters().isEmpty());
}

TEST_F(MainWindowTest, AHandOverWhileADialogIsOpenWaits)
{
    const QString file = mp3(QStringLiteral("wartet.mp3"), Frames);
    showForm();
    form->setIsDialogOpen(true);
    form->WMCopyData(file);
    QTest::qWait(50);
    EXPECT_TRUE(form->OriFilename().isEmpty());
    EXPECT_EQ(form->Parameters(), QStringList{file});
    form->setIsDialogOpen(false);
}

TEST_F(MainWindowTest, TheCloseRequestOfTheMailboxEndsTheWindowAndItsWorkingCopy)
{
    const QString file = mp3(QStringLiteral("ende.mp3"), Frames);
    showForm({file});
    WAIT_EQ(form->OriFilename(), file);
    const QString tmp = form->TmpFilename();
    EXPECT_TRUE(QFileInfo::exists(tmp));
    form->WelfranzWmClose();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(form->IsClosing);
    form.reset();
    EXPECT_FALSE(QFileInfo::exists(tmp));
}

} // namespace

namespace {

TEST_F(MainWindowTest, ATemporaryFolderThatCannotBeWrittenIsReportedAtStart)
{
    const QString file = mp3(QStringLiteral("ohneTmp.mp3"), 2000);
    qputenv("TMPDIR", QFile::encodeName(path(QStringLiteral("gibt/es/nicht"))));
    {
        TMessageAnswers answers{TMeldungAntwort::Ok};
        form = std::make_unique<TForm1>();
        ASSERT_EQ(answers.shown().size(), 1);
        EXPECT_EQ(answers.shown().constFirst().Art, TMeldungArt::Fehler);
        EXPECT_TRUE(answers.texts().constFirst().contains(QStringLiteral("TmpZinS1.mp3")));
    }
    EXPECT_TRUE(showActive(form.get()));
    TMessageAnswers answers{TMeldungAntwort::Ok};
    openByHandOver(file);
    EXPECT_EQ(answers.texts(), QStringList{QStringLiteral("Fehler beim Öffnen der Datei!\nDie Arbeitskopie im "
                                                          "temporären Ordner konnte nicht geschrieben werden.")});
    EXPECT_TRUE(form->OriFilename().isEmpty());
}

} // namespace
