#include "cutting/joinwriter.h"
#include "cutting/marksplit.h"
#include "cutting/recordingreporter.h"
#include "cutting/sizesplit.h"
#include "cutting/smallfs.h"
#include "cutting/splitfixture.h"
#include "cutting/workingcopy.h"
#include "support/mpegbuilder.h"

#include <QDir>
#include <QFile>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace
{

// Audio bytes that start with a frame header and differ from position to position.
QByteArray ton(int n, quint32 seed)
{
    return (mpeg::frame({}) + mpeg::junk(n, seed)).left(n);
}

class JoinWriterTest : public TempDirTest
{
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        aTon = ton(5000, 1);
        bTon = ton(3000, 2);
        a = writeFile("a.mp3", mpeg::id3v2Tag(3, 1034) + aTon + mpeg::id3v1Tag("A"));
        b = writeFile("b.mp3", bTon);
    }

    TDateiliste liste(const QStringList &dateien) const
    {
        TDateiliste l;
        for (const QString &d : dateien)
            l.append({d, QFileInfo(d).size(), 0});
        return l;
    }

    // The join's own temporary files must be gone afterwards.
    QStringList reste() const { return QDir(dir.path()).entryList({"Tmp*.tmp"}, QDir::Files); }

    QString a, b;
    QByteArray aTon, bTon;
    TRecordingReporter report;
};

} // namespace

TEST_F(JoinWriterTest, WritesTheAudioOfEveryInputIntoANewFile)
{
    const QString ziel = path("neu.mp3");
    ASSERT_TRUE(Mp3ErstellenOk(liste({a, b}), ziel, report));
    EXPECT_EQ(readFile(ziel).size(), 8000);
    EXPECT_TRUE(readFile(ziel) == aTon + bTon);
    EXPECT_TRUE(report.boxes.empty());
    EXPECT_TRUE(reste().isEmpty());

    const QString andersrum = path("andersrum.mp3");
    ASSERT_TRUE(Mp3ErstellenOk(liste({b, a, b}), andersrum, report));
    EXPECT_TRUE(readFile(andersrum) == bTon + aTon + bTon);
}

TEST_F(JoinWriterTest, AppendingKeepsTheTargetsTagsAndMovesItsID3v1TagToTheEnd)
{
    const QByteArray v2 = mpeg::id3v2Tag(4, 300, true);
    const QByteArray v1 = mpeg::id3v1Tag("Ziel", "Wer", "", "2024", "", 3);
    struct Fall {
        const char *name;
        QByteArray vorher;
        QByteArray nachher;
    };
    const QByteArray alt = ton(10000, 9);
    const Fall faelle[] = {
        {"WithID3v1", alt + v1, alt + aTon + bTon + v1},
        {"WithBothTags", v2 + alt + v1, v2 + alt + aTon + bTon + v1},
        {"WithoutID3v1", alt, alt + aTon + bTon},
        {"OnlyATag", v1, aTon + bTon + v1},
        {"Empty", {}, aTon + bTon},
    };
    for (const Fall &f : faelle) {
        const QString ziel = writeFile(QString::fromLatin1(f.name) + ".mp3", f.vorher);
        ASSERT_TRUE(Mp3ErstellenOk(liste({a, b}), ziel, report)) << f.name;
        const QByteArray aus = readFile(ziel);
        EXPECT_EQ(aus.size(), f.nachher.size()) << f.name;
        EXPECT_TRUE(aus == f.nachher) << f.name;
    }
    EXPECT_EQ(readFile(path("WithID3v1.mp3")).size(), 18128);
    EXPECT_TRUE(report.boxes.empty());
    EXPECT_TRUE(reste().isEmpty());
}

TEST_F(JoinWriterTest, InputsWithoutAudioAddNothing)
{
    const QString nurTags = writeFile("nurtags.mp3", mpeg::id3v2Tag(3, 500) + mpeg::id3v1Tag("T"));
    // The size field claims far more than the file holds.
    const QString zuGross =
        writeFile("zugross.mp3", mpeg::id3v2Tag(3, 500).left(6) + QByteArray("\x7f\x7f\x7f\x7f", 4) + aTon);
    const QString leer = writeFile("leer.mp3", {});
    const QString ziel = path("ziel.mp3");
    ASSERT_TRUE(Mp3ErstellenOk(liste({nurTags, a, zuGross, leer, b}), ziel, report));
    EXPECT_TRUE(readFile(ziel) == aTon + bTon);
    EXPECT_TRUE(report.boxes.empty());
}

TEST_F(JoinWriterTest, AnInputThatCannotBeOpenedIsSkipped)
{
    const TDateiliste l = liste({a, path("weg.mp3"), b});
    const QString ziel = path("ziel.mp3");
    ASSERT_TRUE(Mp3ErstellenOk(l, ziel, report));
    EXPECT_EQ(report.boxTexts(),
              QStringList{QStringLiteral("Fehler beim Lesen der Indatei \"%1\"!").arg(path("weg.mp3"))});
    EXPECT_EQ(report.boxes[0].art, TMeldungArt::Information);
    EXPECT_TRUE(readFile(ziel) == aTon + bTon);
}

TEST_F(JoinWriterTest, ATargetThatCannotBeOpenedIsReported)
{
    const QString insLeere = path("insleere.mp3");
    ASSERT_TRUE(QFile::link(path("fehlt.mp3"), insLeere));
    for (const QString &ziel : {path("kein/ordner.mp3"), path(QString()), insLeere}) {
        TRecordingReporter r;
        EXPECT_FALSE(Mp3ErstellenOk(liste({a}), ziel, r));
        EXPECT_EQ(r.boxTexts(),
                  QStringList{QStringLiteral("Die Outdatei \"%1\" konnte nicht geöffnet werden!").arg(ziel)});
    }
    EXPECT_TRUE(reste().isEmpty());
}

// Only regular files are read and written: a pipe would be waited on forever, a device such as
// /dev/full would take a cut-off join.
TEST_F(JoinWriterTest, PipesAndDevicesAreNeitherReadNorWritten)
{
    const QString rohr = path("rohr.mp3");
    ASSERT_EQ(::mkfifo(QFile::encodeName(rohr).constData(), 0600), 0);
    const QString ziel = path("ziel.mp3");
    ASSERT_TRUE(Mp3ErstellenOk(liste({a, rohr, b}), ziel, report));
    EXPECT_EQ(report.boxTexts(), QStringList{QStringLiteral("Die Indatei \"%1\" ist keine gewöhnliche Datei!").arg(rohr)});
    EXPECT_TRUE(readFile(ziel) == aTon + bTon);

    QStringList ziele{rohr};
    if (QFile::exists("/dev/full"))
        ziele << "/dev/full";
    for (const QString &z : ziele) {
        TRecordingReporter r;
        EXPECT_FALSE(Mp3ErstellenOk(liste({a}), z, r));
        EXPECT_EQ(r.boxTexts(), QStringList{QStringLiteral("Die Outdatei \"%1\" ist keine gewöhnliche Datei!").arg(z)});
    }
    EXPECT_TRUE(reste().isEmpty());
}

// On a full disk nothing is left cut off: a new target is not made, an existing one (appended
// to or overwritten) stays as it was, and no temporary file stays beside it.
TEST_F(JoinWriterTest, AFullDiskLeavesTheTargetAsItWas)
{
    TKleinesDateisystem klein(path("klein"));
    if (!klein.ok())
        GTEST_SKIP() << "tmpfs cannot be mounted here (needs root)";
    const QByteArray alt = ton(100000, 5) + mpeg::id3v1Tag("Bleibt");
    const QByteArray grossTon = ton(400000, 6);
    const QString gross = writeFile("gross.mp3", grossTon);
    const QString frage = QStringLiteral("Die Datei \"%1\" existiert bereits!\r\nSoll an die bestehende Datei "
                                         "angehängt werden (Ja=anhängen; Nein=überschreiben)?");
    const QString schreibfehler = QStringLiteral("Fehler beim Schreiben der Outatei \"%1\"!");
    const QString nichtErstellt = QStringLiteral("Die Datei \"%1\" konnte nicht erstellt werden!");
    const QString unveraendert = nichtErstellt + QStringLiteral(" Die bestehende Datei ist unverändert.");
    struct Fall {
        const char *name;
        bool vorhanden;
        TMeldungAntwort antwort;
        QStringList texte;
    };
    const Fall faelle[] = {
        {"new", false, TMeldungAntwort::Ok, {schreibfehler, nichtErstellt}},
        {"append", true, TMeldungAntwort::Ja, {frage, schreibfehler, unveraendert}},
        {"overwrite", true, TMeldungAntwort::Nein, {frage, schreibfehler, unveraendert}},
    };
    for (const Fall &f : faelle) {
        const QString ziel = klein.pfad(QString::fromLatin1(f.name) + ".mp3");
        if (f.vorhanden)
            writeFile("klein/" + QString::fromLatin1(f.name) + ".mp3", alt);
        TRecordingReporter r;
        r.antworten = {f.antwort};
        EXPECT_EQ(DateienSpeichern(liste({a, gross}), ziel, r), TSpeichernErgebnis::NichtErstellt) << f.name;
        QStringList texte;
        for (const QString &t : f.texte)
            texte << t.arg(ziel);
        EXPECT_EQ(r.boxTexts(), texte) << f.name;
        EXPECT_EQ(QFile::exists(ziel), f.vorhanden) << f.name;
        if (f.vorhanden) {
            EXPECT_TRUE(readFile(ziel) == alt) << f.name;
        }
        QStringList da = QDir(klein.pfad({})).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        da.removeAll("append.mp3");
        da.removeAll("overwrite.mp3");
        EXPECT_EQ(da, QStringList()) << f.name;
    }
    EXPECT_TRUE(reste().isEmpty());
}

// A name mistyped with "overwrite" once turned the target into an empty file reported as made.
// Now an input that cannot be read is skipped as before, but when not one can be read the
// target is not touched and the user is told.
TEST_F(JoinWriterTest, WhenNoInputCanBeReadTheTargetStays)
{
    const QByteArray alt = ton(3000, 8);
    const QString fehlt = path("tippfehler.mp3");
    const QString lesefehler = QStringLiteral("Fehler beim Lesen der Indatei \"%1\"!").arg(fehlt);
    const QString frage = QStringLiteral("Die Datei \"%1\" existiert bereits!\r\nSoll an die bestehende Datei "
                                         "angehängt werden (Ja=anhängen; Nein=überschreiben)?");
    for (const TMeldungAntwort antwort : {TMeldungAntwort::Nein, TMeldungAntwort::Ja}) {
        const QString ziel = writeFile("album.mp3", alt);
        TRecordingReporter r;
        r.antworten = {antwort};
        EXPECT_EQ(DateienSpeichern(liste({fehlt}), ziel, r), TSpeichernErgebnis::NichtErstellt);
        EXPECT_EQ(r.boxTexts(),
                  (QStringList{frage.arg(ziel), lesefehler,
                               QStringLiteral("Die Datei \"%1\" konnte nicht erstellt werden! Die bestehende Datei "
                                              "ist unverändert.")
                                   .arg(ziel)}));
        EXPECT_TRUE(readFile(ziel) == alt);
    }
    const QString neu = path("neu.mp3");
    TRecordingReporter r;
    EXPECT_EQ(DateienSpeichern(liste({fehlt}), neu, r), TSpeichernErgebnis::NichtErstellt);
    EXPECT_EQ(r.boxTexts(),
              (QStringList{lesefehler, QStringLiteral("Die Datei \"%1\" konnte nicht erstellt werden!").arg(neu)}));
    EXPECT_FALSE(QFile::exists(neu));

    // One readable input among missing ones: joined as before.
    r.antworten = {TMeldungAntwort::Nein};
    EXPECT_EQ(DateienSpeichern(liste({fehlt, b}), path("album.mp3"), r), TSpeichernErgebnis::Erstellt);
    EXPECT_TRUE(readFile(path("album.mp3")) == bTon);
}

// A replaced target keeps its permissions and access time and gets a new modification time. A
// file with a second hard link is appended to in place, as both names expect; overwriting gives
// only the chosen name the new file, as deleting and creating it always did.
TEST_F(JoinWriterTest, AReplacedTargetKeepsItsPermissionsAndHardLinks)
{
    const QByteArray alt = ton(3000, 9) + mpeg::id3v1Tag("Alt");
    const struct timespec zeiten[2] = {{1000000000, 0}, {1000000000, 0}};
    for (const TMeldungAntwort antwort : {TMeldungAntwort::Ja, TMeldungAntwort::Nein}) {
        const QString ziel = writeFile("rechte.mp3", alt);
        ASSERT_EQ(::chmod(QFile::encodeName(ziel).constData(), 0640), 0);
        ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(ziel).constData(), zeiten, 0), 0);
        TRecordingReporter r;
        r.antworten = {antwort};
        ASSERT_EQ(DateienSpeichern(liste({b}), ziel, r), TSpeichernErgebnis::Erstellt);
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(ziel).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0640u);
        EXPECT_EQ(st.st_atim.tv_sec, 1000000000);
        EXPECT_GT(st.st_mtim.tv_sec, 1000000000);
        EXPECT_TRUE(readFile(ziel) == (antwort == TMeldungAntwort::Ja ? alt.left(3000) + bTon + alt.right(128) : bTon));
        QFile::remove(ziel);
    }

    const QString ziel = writeFile("eins.mp3", alt);
    const QString zwei = path("zwei.mp3");
    ASSERT_EQ(::link(QFile::encodeName(ziel).constData(), QFile::encodeName(zwei).constData()), 0);
    TRecordingReporter r;
    r.antworten = {TMeldungAntwort::Ja};
    ASSERT_EQ(DateienSpeichern(liste({b}), ziel, r), TSpeichernErgebnis::Erstellt);
    const QByteArray angehaengt = alt.left(3000) + bTon + alt.right(128);
    EXPECT_TRUE(readFile(ziel) == angehaengt);
    EXPECT_TRUE(readFile(zwei) == angehaengt);
    r.antworten = {TMeldungAntwort::Nein};
    ASSERT_EQ(DateienSpeichern(liste({a}), ziel, r), TSpeichernErgebnis::Erstellt);
    EXPECT_TRUE(readFile(ziel) == aTon);
    EXPECT_TRUE(readFile(zwei) == angehaengt);
    EXPECT_EQ(QDir(dir.path()).entryList({"*.tmp"}, QDir::Files | QDir::Hidden), QStringList());
}

// Inputs and targets beyond 2 GiB: positions and counts need 64 bits. Sparse files keep the
// disk use small; only the copied audio is really written.
TEST_F(JoinWriterTest, FilesBeyondTwoGiB)
{
    const qint64 gross = (qint64(1) << 31) + 4096;
    const QByteArray v1 = mpeg::id3v1Tag("Gross");
    const QString ziel = path("gross.mp3");
    {
        QFile f(ziel);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(gross - 128));
        ASSERT_TRUE(f.seek(gross - 128));
        f.write(v1);
    }
    ASSERT_TRUE(Mp3ErstellenOk(liste({a, b}), ziel, report));
    QFile f(ziel);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.size(), gross + 8000);
    ASSERT_TRUE(f.seek(gross - 128));
    EXPECT_TRUE(f.read(8000) == aTon + bTon);
    EXPECT_TRUE(f.read(200) == v1);
}

TEST_F(JoinWriterTest, InputBeyondTwoGiB)
{
    const qint64 audio = (qint64(1) << 31) + 1000;
    const QByteArray v2 = mpeg::id3v2Tag(3, 2048);
    const QByteArray anfang = ton(1000, 3);
    const QByteArray v1 = mpeg::id3v1Tag("Ende");
    const QString ein = path("ein.mp3");
    {
        QFile f(ein);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(v2 + anfang);
        ASSERT_TRUE(f.seek(v2.size() + audio - 4));
        f.write("ENDE");
        f.write(v1);
    }
    // The 2 GiB of output go to memory where it may be mounted, which is much faster than disk.
    TKleinesDateisystem speicher(path("speicher"), QStringLiteral("2100m"));
    const QString ziel = speicher.ok() ? speicher.pfad("ziel.mp3") : path("ziel.mp3");
    ASSERT_TRUE(Mp3ErstellenOk(liste({ein, b}), ziel, report));
    QFile f(ziel);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.size(), audio + bTon.size());
    EXPECT_TRUE(f.read(1000) == anfang);
    ASSERT_TRUE(f.seek(audio - 4));
    EXPECT_TRUE(f.read(4 + bTon.size() + 1) == QByteArray("ENDE") + bTon);
    f.close();
    QFile::remove(ziel);
}

// Joining every piece of a split without overlap gives back the audio of the opened file.
TEST_F(JoinWriterTest, JoiningTheWholeSplitGivesBackTheAudio)
{
    const QByteArray audio = mpeg::frames({}, 2400, true).left(1000000);
    const QString offen = writeFile("Kapitel.mp3", mpeg::id3v2Tag(3, 4096) + audio + mpeg::id3v1Tag("K"));
    const QString arbeitskopie = path("TmpZinS1.mp3");
    ASSERT_TRUE(ArbeitskopieErstellen(offen, arbeitskopie));
    const TTeilAuftrag auftrag{arbeitskopie, offen, audio.size()};

    struct Fall {
        const char *name;
        std::function<TTeilErgebnis()> teilen;
        QList<qint64> groessen; // empty: not checked
    };
    const Fall faelle[] = {
        {"BySize", [&] { return TeilenStarten(auftrag, ModusBytes, 40001, 0, report); }, {}},
        {"AtMarks",
         [&] {
             return MarkenTeilenStarten(auftrag, 100000, {"25000", "50000"}, report);
         },
         {250001, 250001, 499998}},
        {"AtCloseMarks",
         [&] {
             return MarkenTeilenStarten(auftrag, 31347, {"1000", "1011", "20000"}, report);
         },
         {}},
    };
    for (const Fall &f : faelle) {
        const TTeilErgebnis teile = f.teilen();
        ASSERT_FALSE(teile.Fehler) << f.name;
        ASSERT_GT(teile.SplitDateien.size(), 2) << f.name;
        if (!f.groessen.isEmpty()) {
            QList<qint64> groessen;
            for (const QString &t : teile.SplitDateien)
                groessen << QFileInfo(t).size();
            EXPECT_EQ(groessen, f.groessen) << f.name;
        }
        const QString ziel = path(QString::fromLatin1(f.name) + "_ganz.mp3");
        ASSERT_TRUE(Mp3ErstellenOk(liste(teile.SplitDateien), ziel, report)) << f.name;
        EXPECT_TRUE(readFile(ziel) == audio) << f.name;
        for (const QString &t : teile.SplitDateien)
            QFile::remove(t);
    }
}

TEST_F(JoinWriterTest, SavingAsksAboutAnExistingFileAndReportsTheOutcome)
{
    const QByteArray alt = ton(2000, 7);
    const QString frage = QStringLiteral("Die Datei \"%1\" existiert bereits!\r\nSoll an die bestehende Datei "
                                         "angehängt werden (Ja=anhängen; Nein=überschreiben)?");
    const QString erfolg = QStringLiteral("Die Datei \"%1\" wurde erfolgreich erstellt!");
    struct Fall {
        const char *name;
        TMeldungAntwort antwort;
        QByteArray nachher;
        TSpeichernErgebnis ergebnis;
    };
    const Fall faelle[] = {
        {"Append", TMeldungAntwort::Ja, alt + aTon + bTon, TSpeichernErgebnis::Erstellt},
        {"Overwrite", TMeldungAntwort::Nein, aTon + bTon, TSpeichernErgebnis::Erstellt},
        {"Cancel", TMeldungAntwort::Abbrechen, alt, TSpeichernErgebnis::Abgebrochen},
    };
    for (const Fall &f : faelle) {
        const QString ziel = writeFile(QString::fromLatin1(f.name) + ".mp3", alt);
        QFile(ziel).setPermissions(QFileDevice::ReadOwner);
        TRecordingReporter r;
        r.antworten = {f.antwort};
        EXPECT_EQ(DateienSpeichern(liste({a, b}), ziel, r), f.ergebnis) << f.name;
        EXPECT_TRUE(readFile(ziel) == f.nachher) << f.name;
        QStringList texte{frage.arg(ziel)};
        if (f.ergebnis == TSpeichernErgebnis::Erstellt)
            texte << erfolg.arg(ziel);
        EXPECT_EQ(r.boxTexts(), texte) << f.name;
    }

    const QString neu = path("neu.mp3");
    EXPECT_EQ(DateienSpeichern(liste({b}), neu, report), TSpeichernErgebnis::Erstellt);
    EXPECT_EQ(report.boxTexts(), QStringList{erfolg.arg(neu)});

    const QString fehlt = path("kein/ordner.mp3");
    TRecordingReporter r;
    EXPECT_EQ(DateienSpeichern(liste({b}), fehlt, r), TSpeichernErgebnis::NichtErstellt);
    EXPECT_EQ(r.boxTexts(), (QStringList{QStringLiteral("Die Outdatei \"%1\" konnte nicht geöffnet werden!").arg(fehlt),
                                         QStringLiteral("Die Datei \"%1\" konnte nicht erstellt werden!").arg(fehlt)}));
}

// A target that is also one of the inputs: overwriting it would delete an input before it is
// read, so it is refused and the file stays; appending holds the target for writing alone, so
// that input cannot be read and is skipped.
TEST_F(JoinWriterTest, AnInputIsNeverTheTargetThatIsReplaced)
{
    const QByteArray tTon = ton(5000, 4);
    const QByteArray v1 = mpeg::id3v1Tag("T");
    const QString frage = QStringLiteral("Die Datei \"%1\" existiert bereits!\r\nSoll an die bestehende Datei "
                                         "angehängt werden (Ja=anhängen; Nein=überschreiben)?");
    struct Fall {
        const char *name;
        TMeldungAntwort antwort;
        TSpeichernErgebnis ergebnis;
        bool ueberVerknuepfung; // the input is named through a link to the target
        QByteArray nachher;
        QString meldung;
    };
    const QString zugleich =
        QStringLiteral("Die Zieldatei \"%1\" ist zugleich eine der Dateien, die zusammengefügt werden sollen.");
    const QString lesefehler = QStringLiteral("Fehler beim Lesen der Indatei \"%1\"!");
    const Fall faelle[] = {
        {"Overwrite", TMeldungAntwort::Nein, TSpeichernErgebnis::ZielIstEingabe, false, tTon + v1, zugleich},
        {"OverwriteThroughALink", TMeldungAntwort::Nein, TSpeichernErgebnis::ZielIstEingabe, true, tTon + v1,
         zugleich},
        {"Append", TMeldungAntwort::Ja, TSpeichernErgebnis::Erstellt, false, tTon + bTon + v1, lesefehler},
        {"AppendThroughALink", TMeldungAntwort::Ja, TSpeichernErgebnis::Erstellt, true, tTon + bTon + v1,
         lesefehler},
    };
    for (const Fall &f : faelle) {
        const QString ziel = writeFile(QString::fromLatin1(f.name) + ".mp3", tTon + v1);
        QString eingabe = ziel;
        if (f.ueberVerknuepfung) {
            eingabe = path(QString::fromLatin1(f.name) + "_link.mp3");
            ASSERT_TRUE(QFile::link(ziel, eingabe));
        }
        TRecordingReporter r;
        r.antworten = {f.antwort};
        EXPECT_EQ(DateienSpeichern(liste({b, eingabe}), ziel, r), f.ergebnis) << f.name;
        const QByteArray aus = readFile(ziel);
        EXPECT_EQ(aus.size(), f.nachher.size()) << f.name;
        EXPECT_TRUE(aus == f.nachher) << f.name;
        QStringList texte{frage.arg(ziel), f.meldung.arg(f.meldung == zugleich ? ziel : eingabe)};
        if (f.ergebnis == TSpeichernErgebnis::Erstellt)
            texte << QStringLiteral("Die Datei \"%1\" wurde erfolgreich erstellt!").arg(ziel);
        EXPECT_EQ(r.boxTexts(), texte) << f.name;
    }
    EXPECT_EQ(readFile(path("Append.mp3")).size(), 8128);
    EXPECT_TRUE(reste().isEmpty());
}

// A single large input must not keep the window from painting until it is copied.
TEST_F(JoinWriterTest, PendingMessagesAreHandledWhileALargeInputIsCopied)
{
    const QString gross = writeFile("gross.mp3", ton(16 << 20, 8));
    ASSERT_TRUE(Mp3ErstellenOk(liste({gross}), path("ziel.mp3"), report));
    EXPECT_GE(report.nachrichten, 4);
}
