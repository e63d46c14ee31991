#include "cutting/splitter.h"
#include "keytyping.h"
#include "mutagenreader.h"
#include "platform/player.h"
#include "support/mpegbuilder.h"
#include "support/tempdir.h"
#include "tags/id3v1tag.h"
#include "tags/id3v2tag.h"
#include "ui/main/mainwindow.h"
#include "ui/support/controls.h"
#include "ui/support/messageanswers.h"
#include "ui/support/recordingscreenreader.h"
#include "ui/tags/id3tagsform.h"
#include "ui/tags/simplecombobox.h"

#include "../../cutting/smallfs.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

const QString kFehler = QStringLiteral("Es trat ein Fehler beim Id3Tag vergeben auf!");

QStringList v1Fields(const QString &file)
{
    TID3v1Tag t;
    if (t.ReadFromFile(file) != MP3ERR_None)
        return {};
    return {t.Title(),   t.Artist(), t.Album(), QString::fromLatin1(t.Year()).remove(QChar()),
            t.Comment(), t.Track(),  t.Genre()};
}

QStringList v2Fields(const QString &file)
{
    TID3v2Tag t;
    if (t.ReadFromFile(file) != MP3ERR_None)
        return {};
    return {t.Title(), t.Artist(), t.Album(), t.Year(), t.Comment(), t.Track(), t.Genre()};
}

const QStringList kTyped{"Kapitel", "Erzählerin", "Hörbuch", "2023", "gekürzt", "3", "Speech"};

class TagCommand : public TempDirTest {
protected:
    void TearDown() override
    {
        form.reset();
        TempDirTest::TearDown();
    }

    QString mp3(const QString &name, int frames = 200, const QString &folder = {})
    {
        const QByteArray bytes = mpeg::frames(mpeg::FrameSpec{}, frames);
        if (folder.isEmpty())
            return writeFile(name, bytes);
        QFile f(folder + "/" + name);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }

    // The main window with `file` opened as from the command line.
    bool open(const QString &file)
    {
        form = std::make_unique<TForm1>(QStringList{file});
        const bool active = showActive(form.get()) && QTest::qWaitFor([&] { return form->OriFilename() == file; });
        // Let every activation the showing asked for arrive before a dialog opens.
        QTest::qWait(50);
        return active;
    }

    // Pieces of the opened file as the split engine writes them, in the sizes given; the last
    // takes the rest.
    void split(const QList<qint64> &sizes)
    {
        TCutReporter still;
        const auto teilBytes = [&](int k) { return k < sizes.size() ? sizes[k - 1] : form->Mp3Size(); };
        const TTeilErgebnis e =
            TeileSchreiben({form->TmpFilename(), form->OriFilename(), form->Mp3Size()}, teilBytes, 0, still);
        ASSERT_FALSE(e.Fehler);
        ASSERT_EQ(e.SplitDateien.size(), sizes.size());
        form->SplitDateien() = e.SplitDateien;
    }

    // Presses the shortcut; `inDialog` runs while the tag editor shows (not at all when it does
    // not show). Returns whether it showed.
    bool command(Qt::Key key, const std::function<void(TId3TagsForm &)> &inDialog)
    {
        bool shown = false;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto *dialog = qobject_cast<TId3TagsForm *>(QApplication::activeModalWidget());
            if (!dialog || shown)
                return;
            shown = true;
            poll.stop();
            EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == dialog; }));
            inDialog(*dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        poll.start();
        // After a dialog the window comes back active, given the time.
        if (!QTest::qWaitForWindowActive(form.get(), 1000)) {
            form->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        }
        QTest::keyClick(form.get(), key, Qt::ControlModifier);
        QTest::qWait(50);
        return shown;
    }

    // Types the seven fields, moving on with Down and Tab, and confirms with Enter in the genre box.
    static void typeFields(TId3TagsForm &dialog, const QStringList &texts)
    {
        for (int i = 0; i < 7; ++i) {
            QWidget *f = QApplication::focusWidget();
            QTest::keyClick(f, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(f, Qt::Key_Delete);
            typeText(f, texts[i]);
            if (i < 6)
                QTest::keyClick(f, i < 5 ? Qt::Key_Down : Qt::Key_Tab);
        }
        EXPECT_EQ(QApplication::focusWidget(), findControl<TEinfacheComboBox>(&dialog, "ComboBox1")->edit());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }

    std::unique_ptr<TForm1> form;
    TMutagenReader mutagen;
};

TEST_F(TagCommand, ItemsAreEnabledByOpenFileAndPiecesEachTimeTheMenuOpens)
{
    const QString file = mp3("Buch.mp3");
    form = std::make_unique<TForm1>();
    form->show();
    emit form->MenuAkt->aboutToShow();
    EXPECT_FALSE(form->MenuAktMp3InfosAction->isEnabled());
    EXPECT_FALSE(form->MenuAktMp3InfosMehrere->isEnabled());
    emit form->MenuAkt->aboutToHide();
    EXPECT_FALSE(command(Qt::Key_I, [](TId3TagsForm &) {}));

    form.reset();
    ASSERT_TRUE(open(file));
    emit form->MenuAkt->aboutToShow();
    EXPECT_TRUE(form->MenuAktMp3InfosAction->isEnabled());
    EXPECT_TRUE(form->MenuAktMp3InfosDatei->isEnabled());
    EXPECT_FALSE(form->MenuAktMp3InfosMehrere->isEnabled());
    emit form->MenuAkt->aboutToHide();
    EXPECT_FALSE(command(Qt::Key_D, [](TId3TagsForm &) {}));

    // Pieces made since the menu last opened: the shortcut finds the item enabled.
    split({30000, 30000});
    EXPECT_TRUE(command(Qt::Key_D, [](TId3TagsForm &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Id3Tags von zerteilten Dateien eingeben"));
        EXPECT_FALSE(d.OriFileS);
    }));
    emit form->MenuAkt->aboutToShow();
    EXPECT_TRUE(form->MenuAktMp3InfosMehrere->isEnabled());
    emit form->MenuAkt->aboutToHide();
    EXPECT_EQ(form->MenuAktMp3InfosDatei->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_I));
    EXPECT_EQ(form->MenuAktMp3InfosMehrere->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
}

// Ctrl+I: the fields typed reach both tags of the opened file, its other frames stay, its tag
// objects are read again, and the working copy and the player are left alone.
TEST_F(TagCommand, OpenedFileGetsTheTypedTags)
{
    TRecordingScreenReader reader;
    const QString file = mp3("Buch.mp3");
    {
        TID3v2Tag v2;
        v2.SetTitle("Alt");
        v2.SetComposer("Komponist");
        ASSERT_EQ(v2.WriteToFile(file), MP3ERR_None);
        TID3v1Tag v1;
        v1.SetTitle("Noch älter");
        v1.SetGenre("Jazz");
        ASSERT_EQ(v1.WriteToFile(file), MP3ERR_None);
    }
    ASSERT_TRUE(open(file));
    const QByteArray workingCopy = readFile(form->TmpFilename());
    form->MenuPlayPauseClick();
    const bool playing = QTest::qWaitFor([&] { return form->MediaPlayer1()->Mode() == TMPModes::mpPlaying; }, 2000);

    reader.clear();
    ASSERT_TRUE(command(Qt::Key_I, [&](TId3TagsForm &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Id3Tags von geöffneter Datei eingeben"));
        EXPECT_TRUE(d.OriFileS);
        if (playing) {
            EXPECT_EQ(form->MediaPlayer1()->Mode(), TMPModes::mpPaused);
        }
        EXPECT_EQ(findControl<QLineEdit>(&d, "Edit1")->text(), QStringLiteral("Alt"));
        EXPECT_EQ(findControl<TEinfacheComboBox>(&d, "ComboBox1")->text(), QStringLiteral("Jazz"));
        EXPECT_EQ(reader.spoken().value(0), QStringLiteral("Titel:"));
        typeFields(d, kTyped);
    }));

    EXPECT_EQ(v2Fields(file), kTyped);
    EXPECT_EQ(v1Fields(file), (QStringList{"Kapitel", "Erzählerin", "Hörbuch", "2023", "gekürzt", "3", "Speech"}));
    TID3v2Tag r2;
    r2.ReadFromFile(file);
    EXPECT_EQ(r2.Composer(), QStringLiteral("Komponist"));
    // The window's tag objects hold what the file now holds.
    EXPECT_EQ(form->Id3v2Tag().Title(), QStringLiteral("Kapitel"));
    EXPECT_EQ(form->Id3v2Tag().Composer(), QStringLiteral("Komponist"));
    EXPECT_EQ(form->Id3v1Tag().Genre(), QStringLiteral("Speech"));
    EXPECT_EQ(readFile(form->TmpFilename()), workingCopy);
    EXPECT_EQ(form->MediaPlayer1()->FileName(), form->TmpFilename());
    EXPECT_EQ(form->OriFilename(), file);

    if (mutagen.available()) {
        const QJsonObject m = mutagen.dump(file);
        EXPECT_EQ(TMutagenReader::v2Text(m, "TIT2"), QStringLiteral("Kapitel"));
        EXPECT_EQ(TMutagenReader::v2Text(m, "TPE1"), QStringLiteral("Erzählerin"));
        EXPECT_EQ(TMutagenReader::v2Text(m, "TCOM"), QStringLiteral("Komponist"));
        EXPECT_EQ(TMutagenReader::v1Text(m, "TALB"), QStringLiteral("Hörbuch"));
        EXPECT_EQ(TMutagenReader::v1Text(m, "TCON"), QStringLiteral("Speech"));
    }

    // Cancelled, nothing is written.
    const QByteArray before = readFile(file);
    ASSERT_TRUE(command(Qt::Key_I, [](TId3TagsForm &d) {
        QTest::keyClicks(QApplication::focusWidget(), "xyz");
        QTest::keyClick(&d, Qt::Key_Escape);
    }));
    EXPECT_EQ(readFile(file), before);
}

// Ctrl+I and Enter, nothing typed: texts longer than the fields' typing limits are shown whole
// and written back as the tag held them; typing cannot make them longer.
TEST_F(TagCommand, UnchangedLongTextsAreWrittenBackWhole)
{
    const QString file = mp3("Lang.mp3");
    const QString titel = QStringLiteral("Kapitel 12: Die Rückkehr des Meisters");
    const QString autor = QStringLiteral("Eine Erzählerin mit sehr langem Namen");
    const QString album = QStringLiteral("Ein Hörbuch in vielen, vielen Teilen");
    const QString kommentar = QStringLiteral("Ungekürzte Lesung, aufgenommen im Studio");
    {
        TID3v2Tag v2;
        v2.SetTitle(titel);
        v2.SetArtist(autor);
        v2.SetAlbum(album);
        v2.SetComment(kommentar);
        v2.SetYear("2023");
        v2.SetTrack("3/12");
        v2.SetGenre("Hörspiel");
        ASSERT_EQ(v2.WriteToFile(file), MP3ERR_None);
    }
    ASSERT_TRUE(open(file));
    const QStringList vorher = v2Fields(file);
    ASSERT_TRUE(command(Qt::Key_I, [&](TId3TagsForm &d) {
        EXPECT_EQ(findControl<QLineEdit>(&d, "Edit1")->text(), titel);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }));
    EXPECT_EQ(v2Fields(file), vorher);
    EXPECT_EQ(v2Fields(file).value(0), titel);
    if (mutagen.available()) {
        const QJsonObject m = mutagen.dump(file);
        EXPECT_EQ(TMutagenReader::v2Text(m, "TIT2"), titel);
        EXPECT_EQ(TMutagenReader::v2Text(m, "TPE1"), autor);
        EXPECT_EQ(TMutagenReader::v2Text(m, "TALB"), album);
        EXPECT_EQ(TMutagenReader::v2Text(m, "TRCK"), QStringLiteral("3/12"));
    }
    // The limits stay for typing: a long text grows no longer, an empty field takes 30 characters.
    ASSERT_TRUE(command(Qt::Key_I, [&](TId3TagsForm &d) {
        auto *edit1 = findControl<QLineEdit>(&d, "Edit1");
        QTest::keyClick(edit1, Qt::Key_End);
        QTest::keyClicks(edit1, QStringLiteral("xyz"));
        EXPECT_EQ(edit1->text().toStdString(), QString(titel).toStdString());
        QTest::keyClick(edit1, Qt::Key_Backspace);
        QTest::keyClicks(edit1, QStringLiteral("xyz"));
        EXPECT_EQ(edit1->text().toStdString(), QString(titel.chopped(1)).toStdString());
        auto *edit2 = findControl<QLineEdit>(&d, "Edit2");
        edit2->setFocus();
        QTest::keyClick(edit2, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit2, Qt::Key_Delete);
        QTest::keyClicks(edit2, QString(35, QLatin1Char('a')));
        EXPECT_EQ(edit2->text(), QString(30, QLatin1Char('a')));
        QTest::keyClick(&d, Qt::Key_Escape);
    }));
    EXPECT_EQ(v2Fields(file), vorher);
}

// Ctrl+D: every piece of the split gets the same pair of tags; a read-only piece is made
// writable first.
TEST_F(TagCommand, EveryPieceGetsTheSameTags)
{
    ASSERT_TRUE(open(mp3("Buch.mp3")));
    split({25000, 25000, 25000});
    const QStringList pieces = form->SplitDateien();
    QFile::setPermissions(pieces[1], QFileDevice::ReadOwner | QFileDevice::ReadGroup);

    ASSERT_TRUE(command(Qt::Key_D, [&](TId3TagsForm &d) { typeFields(d, kTyped); }));
    for (const QString &piece : pieces) {
        SCOPED_TRACE(piece.toStdString());
        EXPECT_EQ(v2Fields(piece), kTyped);
        EXPECT_EQ(v1Fields(piece), kTyped);
        if (mutagen.available()) {
            const QJsonObject m = mutagen.dump(piece);
            EXPECT_EQ(TMutagenReader::v2Text(m, "TIT2"), QStringLiteral("Kapitel"));
            EXPECT_EQ(TMutagenReader::v2Text(m, "TRCK"), QStringLiteral("3"));
            EXPECT_EQ(TMutagenReader::v1Text(m, "TPE1"), QStringLiteral("Erzählerin"));
        }
    }
    // The opened file keeps its own (no) tags.
    EXPECT_TRUE(v2Fields(form->OriFilename()).isEmpty());
}

// Stops a file from being changed at all, even by its owner, while it lives.
struct Immutable {
    explicit Immutable(const QString &file) : FFile(file) { ok = QProcess::execute("chattr", {"+i", file}) == 0; }
    ~Immutable()
    {
        if (ok)
            QProcess::execute("chattr", {"-i", FFile});
    }
    QString FFile;
    bool ok = false;
};

// The first piece that cannot be written ends the run with the message: the pieces before it
// are tagged, those after it untouched, and no piece is left broken.
TEST_F(TagCommand, FirstFailingPieceStopsTheRun)
{
    for (const char *fault : {"deleted", "immutable", "disk full"}) {
        SCOPED_TRACE(fault);
        const QString name = QString::fromLatin1(fault);
        std::unique_ptr<TKleinesDateisystem> small;
        QString folder = path(name);
        QDir().mkpath(folder);
        QList<qint64> sizes{16000, 16000, 16000};
        if (name == "disk full") {
            // The rewrite of the large second piece finds no room beside it.
            small = std::make_unique<TKleinesDateisystem>(folder, "512k");
            if (!small->ok()) {
                std::cout << "no small file system here, skipped\n";
                continue;
            }
            sizes = {16000, 200000, 16000};
        }
        qint64 total = 0;
        for (qint64 s : sizes)
            total += s;
        ASSERT_TRUE(open(mp3("Buch.mp3", int(total / 417) + 2, folder)));
        split(sizes);
        const QStringList pieces = form->SplitDateien();
        const QByteArray second = readFile(pieces[1]);
        const QByteArray third = readFile(pieces[2]);

        std::unique_ptr<Immutable> frozen;
        if (name == "deleted") {
            ASSERT_TRUE(QFile::remove(pieces[1]));
        } else if (name == "immutable") {
            frozen = std::make_unique<Immutable>(pieces[1]);
            if (!frozen->ok) {
                std::cout << "chattr +i not possible here, skipped\n";
                continue;
            }
        }

        TMessageAnswers answers{TMeldungAntwort::Ok};
        ASSERT_TRUE(command(Qt::Key_D, [&](TId3TagsForm &d) { typeFields(d, kTyped); }));
        EXPECT_EQ(answers.texts(), QStringList{kFehler});
        ASSERT_EQ(answers.shown().size(), 1);
        EXPECT_EQ(answers.shown()[0].Art, TMeldungArt::Information);

        EXPECT_EQ(v2Fields(pieces[0]), kTyped);
        EXPECT_EQ(v1Fields(pieces[0]), kTyped);
        EXPECT_EQ(readFile(pieces[2]), third);
        if (name == "deleted") {
            EXPECT_FALSE(QFile::exists(pieces[1]));
        } else if (name == "immutable") {
            EXPECT_EQ(readFile(pieces[1]), second);
        } else {
            // The ID3v1 tag may have gone in; the audio is whole and no ID3v2 tag half-written.
            const QByteArray now = readFile(pieces[1]);
            EXPECT_TRUE(now == second || now == second + now.right(128)) << now.size() << " " << second.size();
            EXPECT_TRUE(v2Fields(pieces[1]).isEmpty());
        }
        form.reset();
    }
}

} // namespace
