#include "cutting/filesearch.h"
#include "cutting/recordingreporter.h"
#include "support/mpegbuilder.h"
#include "support/tempdir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <sys/stat.h>

namespace
{

class FileSearchTest : public TempDirTest
{
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        ordner = path(QString()) + QLatin1Char('/');
        suche.DauerLesen = [this](const QString &datei) {
            gelesen << datei;
            return qint32(readFile(datei).size());
        };
    }

    void datei(const QString &name, int groesse = 417)
    {
        QDir().mkpath(QFileInfo(path(name)).absolutePath());
        writeFile(name, mpeg::frames({}, 1).left(groesse));
    }

    QStringList gefunden() const
    {
        QStringList namen;
        for (const TDateiRec &r : suche.Fundliste)
            namen << r.Filename.mid(ordner.size());
        return namen;
    }

    QString ordner;
    TDateiSuche suche;
    TRecordingReporter report;
    QStringList gelesen;
};

// Lets a test act between two files, the way the cancel button does.
class TAbbruchReporter : public TRecordingReporter
{
public:
    std::function<void()> beiNachricht;
    void NachrichtenVerarbeiten() override
    {
        TRecordingReporter::NachrichtenVerarbeiten();
        if (beiNachricht)
            beiNachricht();
    }
};

} // namespace

TEST_F(FileSearchTest, FolderScanAndTreeWalk)
{
    datei("a.mp3", 300);
    datei("Sub/b.mp3");
    datei("c.txt");
    struct Fall {
        bool unterordner;
        QStringList erwartet;
    };
    for (const Fall &f : {Fall{false, {"a.mp3"}}, Fall{true, {"a.mp3", "Sub/b.mp3"}}}) {
        EXPECT_TRUE(suche.Suchen(ordner, f.unterordner, report));
        EXPECT_EQ(gefunden(), f.erwartet);
        EXPECT_FALSE(suche.SucheLaeuft);
    }
    ASSERT_EQ(suche.Fundliste.size(), 2);
    EXPECT_EQ(suche.Fundliste[0].Filename, ordner + "a.mp3");
    EXPECT_EQ(suche.Fundliste[0].Size, 300);
    EXPECT_EQ(suche.Fundliste[0].Dauer, 300);
    EXPECT_EQ(suche.Fundliste[1].Size, 417);
}

TEST_F(FileSearchTest, DurationsComeFromTheAudioFileObject)
{
    writeFile("zehn.mp3", mpeg::id3v2Tag(3, 2048) + mpeg::frames({}, 383, true) + mpeg::id3v1Tag("T"));
    writeFile("kaputt.mp3", mpeg::junk(5000));
    TDateiSuche echt;
    ASSERT_TRUE(echt.Suchen(ordner, false, report));
    ASSERT_EQ(echt.Fundliste.size(), 2);
    EXPECT_EQ(echt.Fundliste[0].Dauer, 0);
    EXPECT_EQ(echt.Fundliste[1].Dauer, 10);
}

TEST_F(FileSearchTest, FilesOfAFolderComeBeforeItsSubfolders)
{
    for (const char *n : {"z.mp3", "B/y.MP3", "B/C/x.mp3", "B/.versteckt.mp3", "a/w.Mp3", "m.mp3.bak", "A.mp3"})
        datei(QString::fromLatin1(n));
    QStringList ordnerAngezeigt;
    suche.OrdnerAnzeigen = [&](const QString &f) { ordnerAngezeigt << f.mid(ordner.size()); };
    EXPECT_TRUE(suche.Suchen(ordner, true, report));
    EXPECT_EQ(gefunden(), (QStringList{"A.mp3", "z.mp3", "a/w.Mp3", "B/.versteckt.mp3", "B/y.MP3", "B/C/x.mp3"}));
    EXPECT_EQ(ordnerAngezeigt, (QStringList{"", "a/", "B/", "B/C/"}));
}

TEST_F(FileSearchTest, MissingFolderFindsNothing)
{
    EXPECT_TRUE(suche.Suchen(ordner + "fehlt/", true, report));
    EXPECT_TRUE(suche.Fundliste.isEmpty());
    EXPECT_TRUE(suche.Suchen(ordner + "fehlt/", false, report));
    EXPECT_TRUE(suche.Fundliste.isEmpty());
}

TEST_F(FileSearchTest, ANewSearchReplacesTheLastResult)
{
    datei("a.mp3");
    ASSERT_TRUE(suche.Suchen(ordner, false, report));
    QFile::remove(path("a.mp3"));
    datei("b.mp3");
    ASSERT_TRUE(suche.Suchen(ordner, false, report));
    EXPECT_EQ(gefunden(), QStringList{"b.mp3"});
}

TEST_F(FileSearchTest, CancellingKeepsTheFilesFoundSoFar)
{
    for (int i = 1; i <= 5; ++i)
        datei(QStringLiteral("d%1.mp3").arg(i));
    datei("Sub/e.mp3");
    TAbbruchReporter abbruch;
    abbruch.beiNachricht = [&] {
        if (suche.Fundliste.size() == 2)
            suche.SucheAbbrechen = true;
    };
    EXPECT_FALSE(suche.Suchen(ordner, true, abbruch));
    EXPECT_EQ(gefunden(), (QStringList{"d1.mp3", "d2.mp3"}));
    EXPECT_FALSE(suche.SucheLaeuft);
    EXPECT_EQ(gelesen.size(), 2);
}

// A search stuck as "running" would block "&Weiter" for good.
TEST_F(FileSearchTest, AFailedSearchIsNoLongerRunning)
{
    datei("a.mp3");
    suche.DauerLesen = [](const QString &) -> qint32 { throw std::runtime_error("kaputt"); };
    EXPECT_THROW(suche.Suchen(ordner, true, report), std::runtime_error);
    EXPECT_FALSE(suche.SucheLaeuft);
}

TEST_F(FileSearchTest, SymbolicLinkLoopsAndSpecialFilesDoNotStopTheWalk)
{
    datei("Sub/b.mp3");
    datei("Sub/Tief/c.mp3");
    ASSERT_TRUE(QFile::link(ordner, path("Sub/Tief/zurueck")));
    ASSERT_TRUE(QFile::link(path("Sub/b.mp3"), path("verweis.mp3")));
    ASSERT_TRUE(QFile::link(path("nirgends.mp3"), path("kaputt.mp3")));
    // Opening a pipe would wait for a writer for ever.
    ASSERT_EQ(mkfifo(QFile::encodeName(path("rohr.mp3")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(path("rohr.mp3"), path("zumrohr.mp3")));

    EXPECT_TRUE(suche.Suchen(ordner, true, report));
    EXPECT_EQ(gefunden(), (QStringList{"verweis.mp3", "Sub/b.mp3", "Sub/Tief/c.mp3"}));
}

TEST(PathRuleTest, DropsFolderNamesFromTheFront)
{
    const TTextBreite zeichen = [](const QString &t) { return int(t.size()); };
    struct Fall {
        const char *pfad;
        int breite;
        const char *erwartet;
    };
    const Fall faelle[] = {
        {"/home/u/Musik/lied.mp3", 100, "/home/u/Musik/lied.mp3"},
        {"/home/u/Musik/lied.mp3", 21, "/.../u/Musik/lied.mp3"},
        {"/home/u/Musik/lied.mp3", 19, "/.../Musik/lied.mp3"},
        {"/home/u/Musik/lied.mp3", 16, "/.../lied.mp3"},
        {"/home/u/Musik/lied.mp3", 12, ".../lied.mp3"},
        {"/home/u/Musik/lied.mp3", 3, "lied.mp3"},
        {"Sub/Tief/lied.mp3", 14, ".../lied.mp3"},
        {"Sub/lied.mp3", 8, "lied.mp3"},
        {"C:/Hörbuch/Teil/k.mp3", 15, "C:/.../k.mp3"},
        {"C:/Hörbuch/Teil/k.mp3", 11, ".../k.mp3"},
        {"C:/Hörbuch/Teil/k.mp3", 9, ".../k.mp3"},
        {"lied.mp3", 1, "lied.mp3"},
        {"/lied.mp3", 3, "lied.mp3"},
        {"C:/k.mp3", 3, "k.mp3"},
        {"/...", 2, "..."},
    };
    for (const Fall &f : faelle)
        EXPECT_EQ(PfadKuerzen(QString::fromUtf8(f.pfad), f.breite, zeichen), QString::fromUtf8(f.erwartet))
            << f.pfad << " " << f.breite;
}

TEST(PathRuleTest, RowShowsThePathRelativeToTheWorkingFolder)
{
    const TTextBreite zeichen = [](const QString &t) { return int(t.size()); };
    const TDateiRec r{QStringLiteral("/m/Hörbücher/Band 1/kapitel.mp3"), 1234567, 3725};
    const TDateiZeile z = DateiZeile(r, QStringLiteral("/m/Hörbücher/"), 100, zeichen);
    EXPECT_EQ(z.Dateiname, QStringLiteral("Band 1/kapitel.mp3"));
    EXPECT_EQ(z.Dauer, QStringLiteral("01:02:05"));
    EXPECT_EQ(z.Groesse, QStringLiteral("1,17 MegaByte"));
    EXPECT_EQ(DateiZeile(r, QStringLiteral("/m/Hörbücher/"), 14, zeichen).Dateiname, QStringLiteral("kapitel.mp3"));
    EXPECT_EQ(DateiZeile(r, QStringLiteral("/anders/"), 100, zeichen).Dateiname, r.Filename);
    EXPECT_EQ(DateiZeile({QStringLiteral("/m/a.mp3"), 999, 0}, QStringLiteral("/m/"), 100, zeichen).Groesse,
              QStringLiteral("999 Bytes"));
}

TEST(PathRuleTest, ColumnWidths)
{
    const TSpaltenBreiten b = SpaltenBreiten(999);
    EXPECT_EQ(b.Dateiname, 729);
    EXPECT_EQ(b.Dauer, 99);
    EXPECT_EQ(b.Groesse, 169);
}
