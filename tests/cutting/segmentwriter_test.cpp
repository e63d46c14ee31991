#include "cutting/markrows.h"
#include "cutting/recordingreporter.h"
#include "cutting/segmentwriter.h"
#include "cutting/smallfs.h"
#include "cutting/splitfixture.h"
#include "support/mpegbuilder.h"

#include <QDir>
#include <QProcess>
#include <gtest/gtest.h>

namespace
{

// A working copy of 1,000,000 bytes that plays 100,000 ms, with marks at 25 s and 50 s.
class SegmentWriterTest : public TempDirTest
{
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        daten = muster(1000000);
        rows.OriFilename = writeFile(QStringLiteral("TmpZinS1.mp3"), daten);
        rows.MaxSize = daten.size();
        rows.MaxLength = 100000;
        rows.OkS = true;
        rows.Marken = QStringList{"0:00:25,000", "0:00:50,000"};
        rows.MarkenZuweisen(true);
    }

    void anhaken(const QList<int> &zeilen)
    {
        for (int z : zeilen)
            rows.SetAngehakt(z, true);
        rows.MarkenBytesErmitteln(0);
    }

    QByteArray teil(qint64 start, qint64 anzahl) const { return daten.mid(start, anzahl); }

    QByteArray daten;
    MarkRows rows;
    TRecordingReporter report;
};

} // namespace

TEST_F(SegmentWriterTest, WritesTheChosenRangesInListOrder)
{
    struct Fall {
        int aTag;
        QList<int> zeilen;
        QByteArray erwartet;
    };
    const Fall faelle[] = {
        {0, {0, 2}, teil(0, 250001) + teil(500001, 499999)},
        {0, {1, 2}, teil(250001, 749999)},
        {1, {2}, teil(500001, 499999)},
        {2, {1}, teil(480001, 20000)},
    };
    for (const Fall &f : faelle) {
        MarkRows r = rows;
        r.AlleAnhaken(false);
        if (f.aTag == 0) {
            for (int z : f.zeilen)
                r.SetAngehakt(z, true);
        } else {
            r.AktuelleZeile = f.zeilen[0];
        }
        r.MarkenBytesErmitteln(f.aTag);
        const QString ziel = path(QStringLiteral("aus%1.mp3").arg(f.aTag));
        QFile::remove(ziel);
        qint64 geschrieben = -1;
        ASSERT_TRUE(Mp3ErstellenOk(r, ziel, false, report, &geschrieben));
        const QByteArray aus = readFile(ziel);
        EXPECT_EQ(aus.size(), f.erwartet.size());
        EXPECT_TRUE(aus == f.erwartet) << "aTag " << f.aTag;
        EXPECT_EQ(geschrieben, f.erwartet.size());
    }
    EXPECT_TRUE(report.boxes.empty());
    EXPECT_EQ(report.fehlerToene, 0);
}

TEST_F(SegmentWriterTest, PlaybackNeedsAtLeast110Milliseconds)
{
    rows.Marken = QStringList{"0:00:10,000", "0:00:10,100"};
    rows.MarkenZuweisen(true);
    rows.AktuelleZeile = 1;
    rows.MarkenBytesErmitteln(1);
    ASSERT_EQ(rows.TmpMp3Dauer, 100);

    const QString tmp = writeFile(QStringLiteral("TmpZinS2.mp3"), "alt");
    EXPECT_FALSE(Mp3ErstellenOk(rows, tmp, true, report));
    EXPECT_EQ(report.boxTexts(), QStringList{"Die Datei muss mindestens 0,110 Sekunden lang sein!"});
    EXPECT_EQ(report.boxes[0].art, TMeldungArt::Information);
    EXPECT_EQ(readFile(tmp), QByteArray("alt"));

    // Saving has no minimum length.
    const QString ziel = path(QStringLiteral("kurz.mp3"));
    EXPECT_TRUE(Mp3ErstellenOk(rows, ziel, false, report));
    EXPECT_EQ(readFile(ziel), teil(100001, 1000));
}

TEST_F(SegmentWriterTest, PlaybackFileIsWrittenAfresh)
{
    anhaken({0});
    const QString tmp = writeFile(QStringLiteral("TmpZinS2.mp3"), muster(600000, 3));
    EXPECT_TRUE(Mp3ErstellenOk(rows, tmp, true, report));
    EXPECT_TRUE(readFile(tmp) == teil(0, 250001));
}

TEST_F(SegmentWriterTest, NothingChosenWritesNothing)
{
    rows.MarkenBytesErmitteln(0);
    const QString ziel = path(QStringLiteral("leer.mp3"));
    EXPECT_FALSE(Mp3ErstellenOk(rows, ziel, false, report));
    EXPECT_FALSE(QFile::exists(ziel));
    EXPECT_EQ(report.fehlerToene, 0);
}

TEST_F(SegmentWriterTest, AppendingStartsWhereTheOldID3v1TagStarted)
{
    anhaken({2});
    const QByteArray neu = teil(500001, 499999);
    const QByteArray v2 = mpeg::id3v2Tag(3, 1034);
    const QByteArray alt = mpeg::frames({}, 4);
    const QByteArray v1 = mpeg::id3v1Tag(QStringLiteral("Titel"));

    struct Fall {
        const char *name;
        QByteArray vorher;
        QByteArray nachher;
    };
    const Fall faelle[] = {
        {"TagsAroundAudio", v2 + alt + v1, v2 + alt + neu},
        {"NoTag", v2 + alt, v2 + alt + neu},
        {"OnlyAnID3v1Tag", v1, neu},
    };
    for (const Fall &f : faelle) {
        const QString ziel = writeFile(QString::fromLatin1(f.name) + QStringLiteral(".mp3"), f.vorher);
        QFile(ziel).setPermissions(QFileDevice::ReadOwner); // read-only, as a finished file may be
        EXPECT_TRUE(Mp3ErstellenOk(rows, ziel, false, report)) << f.name;
        EXPECT_TRUE(readFile(ziel) == f.nachher) << f.name;
    }
}

TEST_F(SegmentWriterTest, ShortAppendLeavesTheRestOfTheOldTagBehind)
{
    rows.Marken = QStringList{"0:00:00,005"};
    rows.MarkenZuweisen(true);
    anhaken({0});
    ASSERT_EQ(rows.TmpMarken, QStringList{"0 51"});
    const QByteArray v1 = mpeg::id3v1Tag(QStringLiteral("Titel"));
    const QString ziel = writeFile(QStringLiteral("ziel.mp3"), mpeg::frames({}, 2) + v1);
    EXPECT_TRUE(Mp3ErstellenOk(rows, ziel, false, report));
    EXPECT_TRUE(readFile(ziel) == mpeg::frames({}, 2) + teil(0, 51) + v1.mid(51));
}

TEST_F(SegmentWriterTest, FilesThatCannotBeOpenedGiveTheErrorSound)
{
    anhaken({0});
    MarkRows ohneQuelle = rows;
    ohneQuelle.OriFilename = path(QStringLiteral("fehlt.mp3"));
    const QString ziel = path(QStringLiteral("ziel.mp3"));
    EXPECT_FALSE(Mp3ErstellenOk(ohneQuelle, ziel, false, report));
    EXPECT_FALSE(QFile::exists(ziel));
    EXPECT_EQ(report.fehlerToene, 1);

    EXPECT_FALSE(Mp3ErstellenOk(rows, path(QStringLiteral("kein/ordner.mp3")), false, report));
    EXPECT_EQ(report.fehlerToene, 2);
    EXPECT_TRUE(report.boxes.empty());
}

TEST_F(SegmentWriterTest, WriteErrorsEndTheCopyAndKeepWhatWasWritten)
{
    anhaken({0, 1, 2});
    if (QFile::exists(QStringLiteral("/dev/full"))) {
        qint64 geschrieben = -1;
        EXPECT_FALSE(Mp3ErstellenOk(rows, QStringLiteral("/dev/full"), true, report, &geschrieben));
        EXPECT_EQ(geschrieben, 0);
        EXPECT_EQ(report.fehlerToene, 1);
    }

    TKleinesDateisystem klein(path(QStringLiteral("klein")));
    if (!klein.ok())
        GTEST_SKIP() << "tmpfs cannot be mounted here";
    const QString ziel = klein.pfad(QStringLiteral("voll.mp3"));
    qint64 geschrieben = -1;
    EXPECT_FALSE(Mp3ErstellenOk(rows, ziel, false, report, &geschrieben));
    EXPECT_GT(geschrieben, 0);
    EXPECT_LT(geschrieben, daten.size());
    const QByteArray aus = readFile(ziel);
    EXPECT_EQ(aus.size(), geschrieben);
    EXPECT_TRUE(aus == daten.left(aus.size()));
    EXPECT_EQ(report.fehlerToene, 2);
    EXPECT_TRUE(report.boxes.empty());
}

TEST_F(SegmentWriterTest, WorkingCopyShorterThanItsRangesEndsTheCopy)
{
    anhaken({1, 2});
    writeFile(QStringLiteral("TmpZinS1.mp3"), daten.left(600000));
    const QString ziel = path(QStringLiteral("ziel.mp3"));
    qint64 geschrieben = -1;
    EXPECT_FALSE(Mp3ErstellenOk(rows, ziel, false, report, &geschrieben));
    EXPECT_EQ(geschrieben, 600000 - 250001);
    EXPECT_TRUE(readFile(ziel) == teil(250001, 600000 - 250001));
    EXPECT_EQ(report.fehlerToene, 1);
}

TEST_F(SegmentWriterTest, SavingAsksBeforeItTouchesAnExistingFile)
{
    anhaken({2});
    const QByteArray neu = teil(500001, 499999);
    const QByteArray v2 = mpeg::id3v2Tag(3, 1034);
    const QByteArray alt = mpeg::frames({}, 4);
    const QByteArray vorher = v2 + alt + mpeg::id3v1Tag(QStringLiteral("Titel"));
    struct Fall {
        const char *name;
        TMeldungAntwort antwort;
        TSpeichernErgebnis ergebnis;
        QByteArray nachher;
    };
    const Fall faelle[] = {
        {"Append", TMeldungAntwort::Ja, TSpeichernErgebnis::Erstellt, v2 + alt + neu},
        {"Overwrite", TMeldungAntwort::Nein, TSpeichernErgebnis::Erstellt, neu},
        {"Cancel", TMeldungAntwort::Abbrechen, TSpeichernErgebnis::Abgebrochen, vorher},
    };
    for (const Fall &f : faelle) {
        const QString ziel = writeFile(QString::fromLatin1(f.name) + QStringLiteral(".mp3"), vorher);
        TRecordingReporter r;
        r.antworten = {f.antwort};
        EXPECT_EQ(SegmenteSpeichern(rows, ziel, r), f.ergebnis) << f.name;
        EXPECT_TRUE(readFile(ziel) == f.nachher) << f.name;
        ASSERT_EQ(r.boxes.size(), 1u) << f.name;
        EXPECT_EQ(r.boxes[0].text, QStringLiteral("Die Datei \"%1\" existiert bereits!\r\nSoll an die bestehende Datei "
                                                  "angehängt werden (Ja=anhängen; Nein=überschreiben)?")
                                       .arg(ziel));
        EXPECT_EQ(r.boxes[0].knoepfe, TMeldungKnoepfe::JaNeinAbbrechen);
    }

    const QString frei = path(QStringLiteral("frei.mp3"));
    EXPECT_EQ(SegmenteSpeichern(rows, frei, report), TSpeichernErgebnis::Erstellt);
    EXPECT_TRUE(readFile(frei) == neu);
    EXPECT_TRUE(report.boxes.empty());
}

TEST_F(SegmentWriterTest, SavingReportsNothingTickedAndFailures)
{
    EXPECT_FALSE(SegmenteWaehlen(rows, report));
    EXPECT_EQ(report.boxTexts(), QStringList{"Es sind keine Einträge angehakt!"});

    rows.SetAngehakt(0, true);
    ASSERT_TRUE(SegmenteWaehlen(rows, report));
    EXPECT_EQ(rows.TmpMarken, QStringList{"0 250001"});
    const QString ziel = path(QStringLiteral("kein/ordner.mp3"));
    EXPECT_EQ(SegmenteSpeichern(rows, ziel, report), TSpeichernErgebnis::NichtErstellt);
    EXPECT_EQ(report.fehlerToene, 1);
    EXPECT_EQ(report.boxTexts().last(), QStringLiteral("Die Datei \"%1\" konnte nicht erstellt werden!").arg(ziel));
}

// "Overwrite" must not become an append when the old file cannot be deleted.
TEST_F(SegmentWriterTest, OverwriteStopsWhenTheOldFileStays)
{
    anhaken({0});
    QDir().mkpath(path(QStringLiteral("fest")));
    const QString ziel = writeFile(QStringLiteral("fest/alt.mp3"), "alt");
    if (QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), path(QStringLiteral("fest"))}) != 0)
        GTEST_SKIP() << "chattr is not available here";
    report.antworten = {TMeldungAntwort::Nein};
    const TSpeichernErgebnis gespeichert = SegmenteSpeichern(rows, ziel, report);
    const QByteArray danach = readFile(ziel);
    QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), path(QStringLiteral("fest"))});
    EXPECT_EQ(gespeichert, TSpeichernErgebnis::NichtErstellt);
    EXPECT_EQ(danach, QByteArray("alt"));
    EXPECT_EQ(report.boxTexts().last(), QStringLiteral("Die Datei \"%1\" konnte nicht erstellt werden!").arg(ziel));
}

// The working copy is the input of every save: overwriting it would lose the audio, appending to
// it would read what is being written.
TEST_F(SegmentWriterTest, TheWorkingCopyIsNeverTheTarget)
{
    anhaken({0});
    const QByteArray vorher = readFile(rows.OriFilename);
    const QString frage = QStringLiteral("Die Datei \"%1\" existiert bereits!\r\nSoll an die bestehende Datei "
                                         "angehängt werden (Ja=anhängen; Nein=überschreiben)?")
                              .arg(rows.OriFilename);
    struct Fall {
        const char *name;
        TMeldungAntwort antwort;
        TSpeichernErgebnis ergebnis;
        QString meldung;
        int fehlerToene;
    };
    const Fall faelle[] = {
        {"Overwrite", TMeldungAntwort::Nein, TSpeichernErgebnis::ZielIstEingabe,
         QStringLiteral("Die Zieldatei \"%1\" ist zugleich eine der Dateien, die zusammengefügt werden sollen.")
             .arg(rows.OriFilename),
         0},
        {"Append", TMeldungAntwort::Ja, TSpeichernErgebnis::NichtErstellt,
         QStringLiteral("Die Datei \"%1\" konnte nicht erstellt werden!").arg(rows.OriFilename), 1},
    };
    for (const Fall &f : faelle) {
        TRecordingReporter r;
        r.antworten = {f.antwort};
        EXPECT_EQ(SegmenteSpeichern(rows, rows.OriFilename, r), f.ergebnis) << f.name;
        EXPECT_EQ(r.boxTexts(), (QStringList{frage, f.meldung})) << f.name;
        EXPECT_EQ(r.fehlerToene, f.fehlerToene) << f.name;
        EXPECT_TRUE(readFile(rows.OriFilename) == vorher) << f.name;
    }
}
