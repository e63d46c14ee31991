#include "ui/tags/id3tagsform.h"

#include "keytyping.h"
#include "mutagenreader.h"
#include "support/mpegbuilder.h"
#include "support/tempdir.h"
#include "tags/id3genres.h"
#include "ui/common/appearance.h"
#include "ui/common/windowmeasures.h"
#include "ui/support/controls.h"
#include "ui/support/recordingscreenreader.h"
#include "ui/tags/simplecombobox.h"

#include <QApplication>
#include <QClipboard>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QStringList kEdits{QStringLiteral("Edit1"), QStringLiteral("Edit2"), QStringLiteral("Edit3"),
                         QStringLiteral("Edit4"), QStringLiteral("Edit5"), QStringLiteral("Edit6")};
const QStringList kNames{QStringLiteral("Titel:"), QStringLiteral("Autor:"),     QStringLiteral("Albumtitel:"),
                         QStringLiteral("Jahr:"),  QStringLiteral("Kommentar:"), QStringLiteral("Tracknummer:"),
                         QStringLiteral("Genre:")};

// The dialog with the beeps counted, shown over the given pair of tags.
struct Dialog {
    Dialog()
    {
        form.PiepserSetzen([this] { ++beeps; });
        form.setWindowTitle(QStringLiteral("Id3Tags von geöffneter Datei eingeben"));
    }
    QLineEdit *edit(int nr) { return findControl<QLineEdit>(&form, QStringLiteral("Edit%1").arg(nr)); }
    TEinfacheComboBox *combo() { return findControl<TEinfacheComboBox>(&form, QStringLiteral("ComboBox1")); }
    QLineEdit *genre() { return combo()->edit(); }
    QWidget *focus() { return QApplication::focusWidget(); }
    bool show(TID3v1Tag &v1, TID3v2Tag &v2)
    {
        form.SetId3Tags(v1, v2);
        return showActive(&form);
    }

    TId3TagsForm form;
    int beeps = 0;
};

TEST(Id3TagsForm, EveryInputControlHasItsLabelRoleAndSpokenName)
{
    Dialog d;
    for (int i = 0; i < 6; ++i) {
        auto *edit = d.edit(i + 1);
        auto *label = findControl<QLabel>(&d.form, QStringLiteral("Label%1").arg(i + 1));
        EXPECT_EQ(label->buddy(), edit);
        EXPECT_EQ(accessibleName(edit), kNames[i]);
        EXPECT_EQ(accessibleRole(edit), QAccessible::EditableText);
    }
    EXPECT_EQ(findControl<QLabel>(&d.form, QStringLiteral("Label7"))->buddy(), d.genre());
    EXPECT_EQ(accessibleName(d.genre()), QStringLiteral("Genre:"));
    EXPECT_EQ(accessibleRole(d.genre()), QAccessible::EditableText);
    // The box as a whole is the genre; its edit speaks its label.
    EXPECT_EQ(accessibleName(d.combo()), QStringLiteral("Genre"));
    EXPECT_EQ(accessibleRole(d.combo()), QAccessible::ComboBox);
    EXPECT_EQ(accessibleName(d.combo()->list()), QStringLiteral("Genreliste"));
    EXPECT_EQ(accessibleRole(d.combo()->list()), QAccessible::List);
    EXPECT_EQ(accessibleName(findControl(&d.form, QStringLiteral("Button1"))), QStringLiteral("OK"));
    EXPECT_EQ(accessibleRole(findControl(&d.form, QStringLiteral("Button2"))), QAccessible::Button);

    // The limits are those of typing into an empty field.
    const int maxLength[6] = {30, 30, 30, 4, 30, 40};
    for (int i = 0; i < 6; ++i) {
        d.edit(i + 1)->clear();
        QTest::keyClicks(d.edit(i + 1), QString(40, QLatin1Char('1')));
        EXPECT_EQ(d.edit(i + 1)->text().size(), maxLength[i]) << i + 1;
    }
    QStringList genres;
    for (int i = 0; i < d.combo()->list()->count(); ++i)
        genres << d.combo()->list()->item(i)->text();
    EXPECT_EQ(genres, ID3GenreList());
    EXPECT_EQ(findControl<QPushButton>(&d.form, QStringLiteral("Button1"))->text(), QStringLiteral("O&K"));
    EXPECT_EQ(findControl<QPushButton>(&d.form, QStringLiteral("Button2"))->text(), QStringLiteral("&Abbrechen"));
}

// Showing focuses the title and names it; the arrows walk the six edits naming each, beep at
// the ends, and leave the genre box to Tab.
TEST(Id3TagsForm, ArrowsMoveBetweenTheEditsAndEachFieldIsNamedOnEntry)
{
    TRecordingScreenReader reader;
    TID3v1Tag v1;
    TID3v2Tag v2;
    Dialog d;
    ASSERT_TRUE(d.show(v1, v2));
    EXPECT_EQ(d.focus(), d.edit(1));

    QTest::keyClick(d.focus(), Qt::Key_Up);
    EXPECT_EQ(d.beeps, 1);
    EXPECT_EQ(d.focus(), d.edit(1));
    for (int nr = 2; nr <= 6; ++nr) {
        QTest::keyClick(d.focus(), Qt::Key_Down);
        EXPECT_EQ(d.focus(), d.edit(nr));
    }
    QTest::keyClick(d.focus(), Qt::Key_Down);
    EXPECT_EQ(d.beeps, 2);
    EXPECT_EQ(d.focus(), d.edit(6));
    QTest::keyClick(d.focus(), Qt::Key_Up);
    EXPECT_EQ(d.focus(), d.edit(5));
    // With Shift the arrow is the edit's own (it selects).
    QTest::keyClick(d.focus(), Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(d.focus(), d.edit(5));
    QTest::keyClick(d.focus(), Qt::Key_Tab);
    EXPECT_EQ(d.focus(), d.edit(6));
    QTest::keyClick(d.focus(), Qt::Key_Tab);
    EXPECT_EQ(d.focus(), d.genre());
    QTest::keyClick(d.focus(), Qt::Key_Tab);
    EXPECT_EQ(d.focus(), findControl(&d.form, QStringLiteral("Button1")));
    QTest::keyClick(&d.form, Qt::Key_J, Qt::AltModifier);
    EXPECT_EQ(d.focus(), d.edit(4));

    EXPECT_EQ(reader.spoken(), (QStringList{kNames[0], kNames[1], kNames[2], kNames[3], kNames[4], kNames[5], kNames[4],
                                            kNames[5], kNames[6], kNames[3]}));
    EXPECT_TRUE(reader.interrupting().isEmpty());

    // The next showing starts at the title again and names it.
    d.form.reject();
    reader.clear();
    ASSERT_TRUE(d.show(v1, v2));
    EXPECT_EQ(d.focus(), d.edit(1));
    EXPECT_EQ(reader.spoken(), QStringList{kNames[0]});
}

// Tab walks the seven fields, OK and Abbrechen and comes round to the title, Shift+Tab the
// same way back, on every showing.
TEST(Id3TagsForm, TabCyclesThroughEveryControlInBothDirections)
{
    TID3v1Tag v1;
    TID3v2Tag v2;
    Dialog d;
    QList<QWidget *> cycle;
    for (int nr = 1; nr <= 6; ++nr)
        cycle << d.edit(nr);
    cycle << d.genre() << findControl(&d.form, QStringLiteral("Button1"))
          << findControl(&d.form, QStringLiteral("Button2"));

    for (int showing = 1; showing <= 2; ++showing) {
        ASSERT_TRUE(d.show(v1, v2));
        ASSERT_EQ(d.focus(), cycle[0]);
        for (int step = 1; step <= 2 * cycle.size(); ++step) {
            QTest::keyClick(d.focus(), Qt::Key_Tab);
            ASSERT_EQ(d.focus(), cycle[step % cycle.size()]) << "showing " << showing << ", Tab " << step;
        }
        for (int step = 1; step <= cycle.size(); ++step) {
            QTest::keyClick(d.focus(), Qt::Key_Backtab, Qt::ShiftModifier);
            ASSERT_EQ(d.focus(), cycle[(cycle.size() - step) % cycle.size()])
                << "showing " << showing << ", Shift+Tab " << step;
        }
        d.form.reject();
    }
}

TEST(Id3TagsForm, YearTakesDigitsOnly)
{
    TID3v1Tag v1;
    TID3v2Tag v2;
    Dialog d;
    ASSERT_TRUE(d.show(v1, v2));
    QLineEdit *year = d.edit(4);
    year->setFocus();
    QTest::keyClicks(year, QStringLiteral("19a8-"));
    EXPECT_EQ(year->text(), QStringLiteral("198"));
    EXPECT_EQ(d.beeps, 2);
    QTest::keyClicks(year, QStringLiteral("45"));
    EXPECT_EQ(year->text(), QStringLiteral("1984"));
    QTest::keyClick(year, Qt::Key_Backspace);
    EXPECT_EQ(year->text(), QStringLiteral("198"));

    // Pasted letters are refused as well; pasted digits are taken.
    QApplication::clipboard()->setText(QStringLiteral("x"));
    year->paste();
    EXPECT_EQ(year->text(), QStringLiteral("198"));
    QApplication::clipboard()->setText(QStringLiteral("7"));
    year->paste();
    EXPECT_EQ(year->text(), QStringLiteral("1987"));
}

TEST(Id3TagsForm, GenreBoxChoosesFromTheListAndEnterOrEscapeCloses)
{
    TID3v1Tag v1;
    TID3v2Tag v2;
    v2.SetGenre(QStringLiteral("Rock"));
    for (const auto &[key, result] :
         {std::pair{Qt::Key_Return, QDialog::Accepted}, std::pair{Qt::Key_Enter, QDialog::Accepted},
          std::pair{Qt::Key_Escape, QDialog::Rejected}}) {
        Dialog d;
        ASSERT_TRUE(d.show(v1, v2));
        EXPECT_EQ(d.genre()->text(), QStringLiteral("Rock"));
        EXPECT_EQ(d.combo()->list()->currentRow(), 17);
        QTest::keyClick(&d.form, Qt::Key_G, Qt::AltModifier);
        ASSERT_EQ(d.focus(), d.genre());
        QTest::keyClick(d.genre(), Qt::Key_Down);
        EXPECT_EQ(d.genre()->text(), QStringLiteral("Techno"));
        QTest::keyClick(d.genre(), Qt::Key_Up);
        QTest::keyClick(d.genre(), Qt::Key_Up);
        EXPECT_EQ(d.genre()->text(), QStringLiteral("Reggae"));
        EXPECT_EQ(d.combo()->list()->currentRow(), 16);
        // Typing keeps the text as typed and shows the first genre that begins with it.
        d.genre()->clear();
        QTest::keyClicks(d.genre(), QStringLiteral("synth"));
        EXPECT_EQ(d.genre()->text(), QStringLiteral("synth"));
        EXPECT_EQ(d.combo()->list()->currentRow(), 147);
        QTest::keyClicks(d.genre(), QStringLiteral("-Wave"));
        EXPECT_EQ(d.combo()->list()->currentRow(), -1);
        QTest::keyClick(d.genre(), key);
        EXPECT_FALSE(d.form.isVisible());
        EXPECT_EQ(d.form.result(), result);
    }
}

// The arrangement from the font: labels at 10, the fields right of the widest label up to 10
// from the right edge, 10 between them, the genre list down to 10 above the buttons, and the
// buttons with equal margins and gap, 10 above the bottom. The window is the screen.
TEST(Id3TagsForm, FillsTheScreenAndLaysItselfOutFromTheFont)
{
    const TAussehen vorher = ProgrammAussehen();
    for (int punkte : {10, 36}) {
        ProgrammAussehen().Schrift.setPointSize(punkte);
        ProgrammAussehen().Hintergrund = QColor(255, 255, 200);
        TID3v1Tag v1;
        TID3v2Tag v2;
        Dialog d;
        ASSERT_TRUE(d.show(v1, v2));
        const QFont font = d.edit(1)->font();
        EXPECT_EQ(font.pointSize(), punkte);
        EXPECT_EQ(d.genre()->font().pointSize(), punkte);
        EXPECT_EQ(d.edit(1)->palette().color(QPalette::Base), QColor(255, 255, 200));
        EXPECT_EQ(d.combo()->list()->palette().color(QPalette::Base), QColor(255, 255, 200));
        auto *ok = findControl<QPushButton>(&d.form, QStringLiteral("Button1"));
        auto *cancel = findControl<QPushButton>(&d.form, QStringLiteral("Button2"));
        EXPECT_EQ(ok->font().pointSize(), punkte);

        const QRect screen = d.form.screen()->geometry();
        EXPECT_EQ(d.form.frameGeometry(), screen);
        const int cw = d.form.width();
        const int editHeight = SchriftHoehe(font, TSchalterArt::Edit);
        int widest = 0;
        for (int i = 1; i <= 7; ++i)
            widest = std::max(widest, findControl(&d.form, QStringLiteral("Label%1").arg(i))->width());
        int top = 10;
        for (int i = 1; i <= 6; ++i) {
            auto *label = findControl<QLabel>(&d.form, QStringLiteral("Label%1").arg(i));
            EXPECT_EQ(d.edit(i)->geometry(), QRect(widest + 15, top, cw - widest - 25, editHeight)) << i;
            EXPECT_EQ(label->x(), 10);
            EXPECT_EQ(label->y(), top + (editHeight - label->height()) / 2);
            top += editHeight + 10;
        }
        EXPECT_EQ(findControl(&d.form, QStringLiteral("Label7"))->pos(), QPoint(10, top));
        const int buttonHeight = SchriftHoehe(ok->font(), TSchalterArt::Button);
        // 125 wide unless the caption needs more.
        const int buttonWidth = ok->width();
        EXPECT_EQ(buttonWidth == 125, punkte == 10);
        EXPECT_GE(buttonWidth, TextBreite(cancel->font(), QStringLiteral("Abbrechen")));
        const int gap = (cw - 2 * buttonWidth) / 3;
        EXPECT_EQ(ok->geometry(), QRect(gap, d.form.height() - 10 - buttonHeight, buttonWidth, buttonHeight));
        EXPECT_EQ(cancel->geometry(), QRect(2 * gap + buttonWidth, ok->y(), buttonWidth, buttonHeight));
        EXPECT_EQ(d.combo()->geometry(), QRect(widest + 15, top, cw - widest - 25, std::max(0, ok->y() - top - 10)));
        EXPECT_EQ(d.genre()->height(), editHeight);
    }
    ProgrammAussehen() = vorher;
}

// Filling from the opened file's tags: each field from the ID3v2 tag where it has a value, else
// from the ID3v1 tag; an untagged file proposes what a cleared ID3v1 tag holds.
TEST(Id3TagsForm, FieldsComeFromTheId3v2TagBeforeTheId3v1Tag)
{
    struct Case {
        const char *name;
        std::function<void(TID3v1Tag &, TID3v2Tag &)> tags;
        QStringList shown; // the six edits and the genre
        int genreRow;
    };
    const QList<Case> cases{
        {"untagged", [](TID3v1Tag &, TID3v2Tag &) {}, {"", "", "", "", "", "0", "Blues"}, 0},
        {"v2 over v1",
         [](TID3v1Tag &v1, TID3v2Tag &v2) {
             v1.SetTitle("Alt");
             v1.SetArtist("Nur v1");
             v1.SetYear("1970");
             v1.SetTrack("4");
             v1.SetGenre("Jazz");
             v2.SetTitle("Neuer Titel");
             v2.SetGenre("synthpop");
         },
         {"Neuer Titel", "Nur v1", "", "1970", "", "4", "Synthpop"},
         147},
        {"v1 genre above 125",
         [](TID3v1Tag &v1, TID3v2Tag &) {
             v1.SetGenre("Synthpop");
             v1.SetComment("Kommentar");
         },
         {"", "", "", "", "Kommentar", "0", ""},
         -1},
        {"genre not in the list",
         [](TID3v1Tag &, TID3v2Tag &v2) { v2.SetGenre("Schlager"); },
         {"", "", "", "", "", "0", "Schlager"},
         -1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TID3v1Tag v1;
        TID3v2Tag v2;
        c.tags(v1, v2);
        Dialog d;
        ASSERT_TRUE(d.show(v1, v2));
        QStringList shown;
        for (int i = 1; i <= 6; ++i)
            shown << d.edit(i)->text();
        shown << d.genre()->text();
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(d.combo()->list()->currentRow(), c.genreRow);
    }
}

// Typing into the dialog and confirming writes the same fields into both tags of the file;
// the tag library and mutagen read them back.
class Id3TagsWrite : public TempDirTest {
protected:
    QString mp3(const QString &name, const QByteArray &tags = {})
    {
        return writeFile(name, tags + mpeg::frames(mpeg::FrameSpec{}, 20));
    }

    // Clears each field and types its text, Tab to the genre box, Enter there confirms.
    static void type(Dialog &d, const QStringList &texts)
    {
        for (int i = 0; i < 6; ++i) {
            QTest::keyClick(d.focus(), Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(d.focus(), Qt::Key_Delete);
            typeText(d.focus(), texts[i]);
            QTest::keyClick(d.focus(), i < 5 ? Qt::Key_Down : Qt::Key_Tab);
        }
        ASSERT_EQ(d.focus(), d.genre());
        QTest::keyClick(d.focus(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(d.focus(), Qt::Key_Delete);
        typeText(d.focus(), texts[6]);
        QTest::keyClick(d.focus(), Qt::Key_Return);
    }

    TMutagenReader mutagen;
};

TEST_F(Id3TagsWrite, TypedFieldsReachBothTagsOfTheOpenedFileAndItsOtherFramesStay)
{
    const QString file = mp3(QStringLiteral("Lied.mp3"));
    {
        TID3v2Tag before;
        before.SetTitle(QStringLiteral("Alter Titel"));
        before.SetComposer(QStringLiteral("Komponistin"));
        ASSERT_EQ(before.WriteToFile(file), MP3ERR_None);
    }
    TID3v1Tag v1;
    TID3v2Tag v2;
    v1.ReadFromFile(file);
    v2.ReadFromFile(file);

    Dialog d;
    d.form.OriFileS = true;
    ASSERT_TRUE(d.show(v1, v2));
    EXPECT_EQ(d.edit(1)->text(), QStringLiteral("Alter Titel"));
    type(d, {QStringLiteral("Größe und Glück"), QStringLiteral("Die Ärzte"), QStringLiteral("Album"),
             QStringLiteral("1999"), QStringLiteral("Kommentar"), QStringLiteral("7"), QStringLiteral("Rock")});
    ASSERT_EQ(d.form.result(), QDialog::Accepted);
    ASSERT_TRUE(d.form.WriteId3Tags(file));

    TID3v1Tag r1;
    TID3v2Tag r2;
    ASSERT_EQ(r1.ReadFromFile(file), MP3ERR_None);
    ASSERT_EQ(r2.ReadFromFile(file), MP3ERR_None);
    EXPECT_EQ((QStringList{r2.Title(), r2.Artist(), r2.Album(), r2.Year(), r2.Comment(), r2.Track(), r2.Genre()}),
              (QStringList{"Größe und Glück", "Die Ärzte", "Album", "1999", "Kommentar", "7", "Rock"}));
    EXPECT_EQ(r2.Composer(), QStringLiteral("Komponistin"));
    EXPECT_EQ((QStringList{r1.Title(), r1.Artist(), r1.Album(), QString::fromLatin1(r1.Year()), r1.Comment(),
                           r1.Track(), r1.Genre()}),
              (QStringList{"Größe und Glück", "Die Ärzte", "Album", "1999", "Kommentar", "7", "Rock"}));

    if (!mutagen.available())
        GTEST_SKIP() << "python3-mutagen is not installed";
    const QJsonObject m = mutagen.dump(file);
    EXPECT_EQ(TMutagenReader::v2Text(m, "TIT2"), QStringLiteral("Größe und Glück"));
    EXPECT_EQ(TMutagenReader::v2Text(m, "TPE1"), QStringLiteral("Die Ärzte"));
    EXPECT_EQ(TMutagenReader::v2Text(m, "TCOM"), QStringLiteral("Komponistin"));
    EXPECT_EQ(TMutagenReader::v2Text(m, "COMM"), QStringLiteral("Kommentar"));
    EXPECT_EQ(TMutagenReader::v2Text(m, "TRCK"), QStringLiteral("7"));
    EXPECT_EQ(TMutagenReader::v1Text(m, "TIT2"), QStringLiteral("Größe und Glück"));
    EXPECT_EQ(TMutagenReader::v1Text(m, "TDRC"), QStringLiteral("1999"));
    EXPECT_EQ(TMutagenReader::v1Text(m, "TRCK"), QStringLiteral("7"));
    EXPECT_EQ(TMutagenReader::v1Text(m, "TCON"), QStringLiteral("Rock"));
}

// The edge cases of the fields: an empty field removes its frame and leaves the ID3v1 field
// empty, a genre not in the list stays in the ID3v2 tag and is no genre in the ID3v1 tag, a
// track above 255 is stored modulo 256 in the ID3v1 tag, an untagged file takes the proposal.
TEST_F(Id3TagsWrite, FieldEdgeCasesAsBothReadersSeeThem)
{
    struct Case {
        const char *name;
        QStringList typed; // nullptr: keep what the dialog proposes
        QStringList v2;    // title, artist, album, year, comment, track, genre
        QStringList v1;
        quint8 v1Genre;
        QString storedGenre; // the ID3v2 genre frame's text, as mutagen reads it raw
    };
    const QList<Case> cases{
        {"proposal of an untagged file",
         {},
         {"", "", "", "", "", "0", "Blues"},
         {"", "", "", "", "", "0", "Blues"},
         0,
         "(0)Blues"},
        {"empty fields",
         {"", "Autor", "", "", "", "", ""},
         {"", "Autor", "", "", "", "", ""},
         {"", "Autor", "", "", "", "0", ""},
         255,
         ""},
        {"genre not in the list and track above 255",
         {"T", "", "", "2024", "", "300", "Schlager"},
         {"T", "", "", "2024", "", "300", "Schlager"},
         {"T", "", "", "2024", "", "44", ""},
         255,
         "Schlager"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = mp3(QString::fromLatin1(c.name) + ".mp3");
        TID3v1Tag v1;
        TID3v2Tag v2;
        Dialog d;
        d.form.OriFileS = false;
        ASSERT_TRUE(d.show(v1, v2));
        if (c.typed.isEmpty())
            QTest::keyClick(d.focus(), Qt::Key_Return);
        else
            type(d, c.typed);
        ASSERT_EQ(d.form.result(), QDialog::Accepted);
        ASSERT_TRUE(d.form.WriteId3Tags(file));

        TID3v1Tag r1;
        TID3v2Tag r2;
        ASSERT_EQ(r1.ReadFromFile(file), MP3ERR_None);
        r2.ReadFromFile(file);
        EXPECT_EQ((QStringList{r2.Title(), r2.Artist(), r2.Album(), r2.Year(), r2.Comment(), r2.Track(), r2.Genre()}),
                  c.v2);
        EXPECT_EQ((QStringList{r1.Title(), r1.Artist(), r1.Album(), QString::fromLatin1(r1.Year()).remove(QChar()),
                               r1.Comment(), r1.Track(), r1.Genre()}),
                  c.v1);
        EXPECT_EQ(r1.GenreNumber(), c.v1Genre);
        const QByteArray bytes = readFile(file).right(128);
        // Empty fields of the ID3v1 tag are NUL-filled.
        if (c.v2[0].isEmpty()) {
            EXPECT_EQ(bytes.mid(3, 30), QByteArray(30, '\0'));
        }
        if (c.v2[3].isEmpty()) {
            EXPECT_EQ(bytes.mid(93, 4), QByteArray(4, '\0'));
        }

        if (!mutagen.available())
            continue;
        const QJsonObject m = mutagen.dump(file);
        EXPECT_EQ(TMutagenReader::v2Text(m, "TIT2"), c.v2[0]);
        EXPECT_EQ(TMutagenReader::v2Text(m, "TRCK"), c.v2[5]);
        EXPECT_EQ(TMutagenReader::v2Text(m, "TCON"), c.storedGenre);
        EXPECT_EQ(TMutagenReader::v1Text(m, "TCON"), c.v1[6]);
    }
}

// For the pieces the dialog's own tags are written, so every piece gets the same pair and no
// frame of the opened file.
TEST_F(Id3TagsWrite, PiecesGetTheDialogsOwnTags)
{
    TID3v1Tag v1;
    TID3v2Tag v2;
    v1.SetTitle(QStringLiteral("Anders"));
    v2.SetComposer(QStringLiteral("Nur im Original"));
    v2.SetTitle(QStringLiteral("Titel"));
    const QStringList pieces{mp3(QStringLiteral("Lied_0001.mp3")), mp3(QStringLiteral("Lied_0002.mp3"))};
    Dialog d;
    d.form.OriFileS = false;
    ASSERT_TRUE(d.show(v1, v2));
    QTest::keyClick(d.focus(), Qt::Key_Return);
    for (const QString &piece : pieces)
        ASSERT_TRUE(d.form.WriteId3Tags(piece));
    for (const QString &piece : pieces) {
        TID3v1Tag r1;
        TID3v2Tag r2;
        ASSERT_EQ(r1.ReadFromFile(piece), MP3ERR_None);
        ASSERT_EQ(r2.ReadFromFile(piece), MP3ERR_None);
        EXPECT_EQ(r1.Title(), QStringLiteral("Titel")); // the ID3v2 title wins in both tags
        EXPECT_EQ(r2.Title(), QStringLiteral("Titel"));
        EXPECT_EQ(r2.Composer(), QString());
    }
    EXPECT_EQ(v2.Title(), QStringLiteral("Titel")); // the opened file's tags are not touched
    EXPECT_FALSE(d.form.WriteId3Tags(path(QStringLiteral("Lied_0003.mp3"))));
}

} // namespace
