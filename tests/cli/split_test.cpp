#include "audio/mpeginfo.h"
#include "cutting/marklist.h"
#include "cutting/marksplit.h"
#include "cutting/mp3seconds.h"
#include "cutting/piecenames.h"
#include "cutting/workingcopy.h"
#include "decoder/mp3length.h"
#include "cutting/smallfs.h"
#include "cutting/sizesplit.h"
#include "support/formatting.h"
#include "support/mpegbuilder.h"
#include "support/tempdir.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

struct Lauf {
    int code = -1;
    QString out, err;
};

class CliSplitTest : public TempDirTest {
protected:
    // Runs zindara-cli with the test's folder as temporary folder.
    Lauf cli(const QStringList &args)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TMPDIR"), dir.path());
        p.setProcessEnvironment(env);
        // These cases check the proportional cut's numbers; the frame cut has its own tests.
        p.start(QStringLiteral(ZINDARA_CLI), QStringList{QStringLiteral("split"), QStringLiteral("--byte-cut")} + args);
        EXPECT_TRUE(p.waitForFinished(60000));
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
    }
    QStringList reste() const
    {
        return QDir(dir.path()).entryList({QStringLiteral("TmpZinS*")}, QDir::Files);
    }
    // A silent CBR file of about `sekunden` seconds wrapped in both tags; `audio` gets its frames.
    QString lied(const QString &name, double sekunden, QByteArray *audio = nullptr)
    {
        const mpeg::FrameSpec spec;
        const QByteArray a = mpeg::frames(spec, int(sekunden * 1000 / mpeg::durationMs(spec, 1)) + 1, true);
        if (audio)
            *audio = a;
        return writeFile(name, mpeg::id3v2Tag(3, 2048) + a + mpeg::id3v1Tag(QStringLiteral("Titel")));
    }
};

TEST_F(CliSplitTest, SizeAndTimeSplitsPrintTheMemoAndCutTheTagFreeAudio)
{
    QByteArray audio;
    const QString datei = lied(QStringLiteral("Kapitel.mp3"), 200, &audio);
    const qint64 S = audio.size();
    TMpegInfo mpi;
    ASSERT_EQ(mpi.LoadFromFile(datei), MP3ERR_None);
    ASSERT_GT(mpi.Dauer(), 60);
    // The analysis of the file sees the same frames as the analysis of its working copy.
    const qint64 sek = mpi.Dauer();
    struct Fall {
        QStringList args;
        int modus;
        qint64 n;
        int ueberlappung;
    };
    const Fall faelle[] = {
        {{QStringLiteral("--kb"), QStringLiteral("700")}, ModusBytes, 700, 0},
        {{QStringLiteral("--minutes"), QStringLiteral("1"), QStringLiteral("--overlap"), QStringLiteral("2")}, ModusMinuten, 1, 2},
        {{QStringLiteral("--overlap"), QStringLiteral("9"), QStringLiteral("--seconds"), QStringLiteral("45")}, ModusSekunden, 45, 9},
        {{QStringLiteral("--kb"), QStringLiteral("999999")}, ModusBytes, S / 1024, 0}, // held to the maximum
    };
    for (const Fall &f : faelle) {
        for (const QString &alt : QDir(dir.path()).entryList({QStringLiteral("Kapitel_*")}))
            QFile::remove(path(alt));
        const Lauf l = cli(QStringList{datei} + f.args);
        ASSERT_EQ(l.code, 0) << l.err.toStdString();
        const qint64 p = TeilgroesseKorrigieren(S, BytesProTeil(f.modus, f.n, S, sek));
        const qint64 v = VorspannBytes(f.ueberlappung, S, sek, p);
        const int teile = int((S + p - 1) / p);
        QStringList memo{QStringLiteral("Teilungsinformationen:"), ModusText(f.modus),
                         QStringLiteral("Bytes pro Datei: %1").arg(Tausenderpunkte(p))};
        for (int k = 1; k <= teile; ++k) {
            memo << QStringLiteral("Teile in \"%1\"...").arg(NeueDatei(datei, k));
            const qint64 von = k == 1 ? 0 : (k - 1) * p - v;
            EXPECT_TRUE(readFile(NeueDatei(datei, k)) == audio.mid(von, qMin(k * p, S) - von)) << k;
        }
        memo << (teile == 1 ? QStringLiteral("1 Datei erstellt.") : QStringLiteral("%1 Dateien erstellt.").arg(teile));
        EXPECT_EQ(l.out, memo.join(QLatin1Char('\n')) + QLatin1Char('\n'));
        EXPECT_FALSE(QFile::exists(NeueDatei(datei, teile + 1)));
        EXPECT_TRUE(reste().isEmpty()) << "the working copy is removed";
    }
}

TEST_F(CliSplitTest, MarksAreCheckedLikeMarksSetWhileListening)
{
    const QString datei = lied(QStringLiteral("a.mp3"), 20);
    struct Fall {
        QStringList marken;
        QString meldung;
    };
    const Fall faelle[] = {
        {{QStringLiteral("0")}, QStringLiteral("Am Anfang/Ende darf keine Marke gesetzt werden!")},
        {{QStringLiteral("99:00:00,000")}, QStringLiteral("Am Anfang/Ende darf keine Marke gesetzt werden!")},
        {{QStringLiteral("10000"), QStringLiteral("0:00:10,000")}, QStringLiteral("Marke bereits auf Position 0:00:10,000 gesetzt!")},
        {{QStringLiteral("10000"), QStringLiteral("9990")}, QStringLiteral("Es muss mindestens 0,010 Sekunden Platz gelassen werden!")},
    };
    for (const Fall &f : faelle) {
        QStringList args{datei};
        for (const QString &m : f.marken)
            args << QStringLiteral("--mark") << m;
        const Lauf l = cli(args);
        EXPECT_EQ(l.code, 1);
        EXPECT_EQ(l.err, f.meldung + QLatin1Char('\n'));
        EXPECT_FALSE(QFile::exists(NeueDatei(datei, 1)));
    }

    const Lauf l = cli({datei, QStringLiteral("--mark"), QStringLiteral("0:00:12,500"), QStringLiteral("--mark"),
                        QStringLiteral("5000")});
    ASSERT_EQ(l.code, 0) << l.err.toStdString();
    const QStringList zeilen = l.out.split(QLatin1Char('\n'));
    EXPECT_EQ(zeilen.mid(0, 5), QStringList({"Marke auf Position 0:00:12,500 gesetzt!", "Marke auf Position 0:00:05,000 gesetzt!",
                                            "Teilungsinformationen:", "Modus: Marken", "Marken gesetzt: 2"}));
    EXPECT_EQ(zeilen.at(zeilen.size() - 2), QStringLiteral("3 Dateien erstellt."));
    EXPECT_TRUE(QFile::exists(NeueDatei(datei, 3)));
    EXPECT_TRUE(reste().isEmpty());
}

TEST_F(CliSplitTest, BadArgumentsAreUsageErrors)
{
    const QString datei = lied(QStringLiteral("a.mp3"), 2);
    const QStringList faelle[] = {
        {},
        {datei},
        {QStringLiteral("--kb"), QStringLiteral("10")},
        {datei, QStringLiteral("--kb")},
        {datei, QStringLiteral("--kb"), QStringLiteral("zehn")},
        {datei, QStringLiteral("--kb"), QStringLiteral("-5")},
        {datei, QStringLiteral("--kb"), QStringLiteral("10"), QStringLiteral("--seconds"), QStringLiteral("5")},
        {datei, QStringLiteral("--kb"), QStringLiteral("10"), QStringLiteral("--mark"), QStringLiteral("500")},
        {datei, QStringLiteral("--kb"), QStringLiteral("10"), QStringLiteral("--overlap"), QStringLiteral("10")},
        {datei, QStringLiteral("--mark"), QStringLiteral("500"), QStringLiteral("--overlap"), QStringLiteral("1")},
        {datei, QStringLiteral("--mark"), QStringLiteral("0:00:01")},
        {datei, QStringLiteral("--mark"), QStringLiteral("1,5")},
        {datei, QStringLiteral("--kb"), QStringLiteral("10"), QStringLiteral("--bytes"), QStringLiteral("1")},
        {datei, datei, QStringLiteral("--kb"), QStringLiteral("10")},
    };
    for (const QStringList &args : faelle) {
        const Lauf l = cli(args);
        EXPECT_EQ(l.code, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(l.err.startsWith(QStringLiteral("zindara-cli: "))) << l.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(NeueDatei(datei, 1)));
    EXPECT_TRUE(reste().isEmpty());
}

TEST_F(CliSplitTest, FailuresEndWithExitCodeOne)
{
    const QString klein = writeFile(QStringLiteral("klein.mp3"), mpeg::id3v2Tag(3, 5000) + QByteArray(1023, 'x'));
    const QString keinTon = writeFile(QStringLiteral("leer.mp3"), mpeg::junk(5000));
    struct Fall {
        QStringList args;
        QString meldung;
    };
    const Fall faelle[] = {
        {{path(QStringLiteral("fehlt.mp3")), QStringLiteral("--kb"), QStringLiteral("1")},
         QStringLiteral("Die Datei \"%1\" gibt es nicht.").arg(path(QStringLiteral("fehlt.mp3")))},
        {{klein, QStringLiteral("--kb"), QStringLiteral("1")}, QStringLiteral("Die Datei ist zu klein, um sie zu zerteilen!")},
        {{keinTon, QStringLiteral("--seconds"), QStringLiteral("1")}, QStringLiteral("Die Datei ist zu klein, um sie zu zerteilen!")},
        {{keinTon, QStringLiteral("--mark"), QStringLiteral("1")}, QStringLiteral("Fehler beim Öffnen der Datei!")},
    };
    for (const Fall &f : faelle) {
        const Lauf l = cli(f.args);
        EXPECT_EQ(l.code, 1) << f.args.join(' ').toStdString();
        EXPECT_EQ(l.err, f.meldung + QLatin1Char('\n'));
    }
    EXPECT_TRUE(reste().isEmpty());
}

TEST_F(CliSplitTest, FullDiskIsReportedAndThePiecesStay)
{
    const QString mnt = path(QStringLiteral("klein"));
    const TKleinesDateisystem klein(mnt);
    if (!klein.ok())
        GTEST_SKIP() << "cannot mount a small file system here";
    QByteArray audio;
    const QString datei = lied(QStringLiteral("klein/a.mp3"), 10, &audio);
    ASSERT_GT(audio.size(), 100000);
    const Lauf l = cli({datei, QStringLiteral("--kb"), QStringLiteral("40")});
    EXPECT_EQ(l.code, 1);
    EXPECT_EQ(l.err, QStringLiteral("Es trat ein Fehler beim Teilen auf!\n"));
    const QStringList zeilen = l.out.trimmed().split(QLatin1Char('\n'));
    const int teile = int(QDir(mnt).entryList({QStringLiteral("a_*")}).size());
    EXPECT_GE(teile, 2);
    EXPECT_EQ(zeilen.last(), QStringLiteral("%1 Dateien erstellt.").arg(teile));
    EXPECT_TRUE(reste().isEmpty());
}

// The command line reads the pieces straight from the file; the window cuts its working copy.
// Both must give the same bytes.
TEST_F(CliSplitTest, PiecesFromTheFileEqualPiecesFromAWorkingCopy)
{
    QStringList dateien{lied(QStringLiteral("Synth.mp3"), 130)};
    QByteArray rohGroesse = mpeg::id3v2Tag(3, 700);
    rohGroesse[9] = char(0x80 | rohGroesse[9]); // the extent is taken as the size bytes stand
    dateien << writeFile(QStringLiteral("Roh.mp3"), rohGroesse + readFile(dateien.first()).mid(2048 + 10));
    const QString lame = QStandardPaths::findExecutable(QStringLiteral("lame"));
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    if (!lame.isEmpty() && !ffmpeg.isEmpty()) {
        const QString wav = path(QStringLiteral("ton.wav"));
        const QString vbr = path(QStringLiteral("Vbr.mp3"));
        if (QProcess::execute(ffmpeg, {"-loglevel", "error", "-f", "lavfi", "-i", "sine=frequency=330:duration=70",
                                       "-ac", "2", "-ar", "44100", wav}) == 0
            && QProcess::execute(lame, {"--quiet", "-V", "5", "--tt", "Titel", "--add-id3v2", wav, vbr}) == 0)
            dateien << vbr;
    }
    struct Fall {
        QStringList args;
        int modus;
        qint64 n;
        int ueberlappung;
        QList<qint64> marken;
    };
    const Fall faelle[] = {
        {{QStringLiteral("--kb"), QStringLiteral("150")}, ModusBytes, 150, 0, {}},
        {{QStringLiteral("--kb"), QStringLiteral("120"), QStringLiteral("--overlap"), QStringLiteral("3")}, ModusBytes, 120, 3, {}},
        {{QStringLiteral("--minutes"), QStringLiteral("1"), QStringLiteral("--overlap"), QStringLiteral("1")}, ModusMinuten, 1, 1, {}},
        {{QStringLiteral("--seconds"), QStringLiteral("25")}, ModusSekunden, 25, 0, {}},
        {{QStringLiteral("--mark"), QStringLiteral("12345"), QStringLiteral("--mark"), QStringLiteral("40000")}, ModusMarken, 0, 0,
         {12345, 40000}},
    };
    QDir(dir.path()).mkdir(QStringLiteral("kopie"));
    for (const QString &datei : dateien) {
        // Not named like a working copy: the command's start would remove it as a killed copy's.
        const QString kopie = path(QStringLiteral("kopie/Arbeitskopie.mp3"));
        ASSERT_TRUE(ArbeitskopieErstellen(datei, kopie));
        const qint64 S = QFileInfo(kopie).size();
        const QString neben = path(QStringLiteral("kopie/") + QFileInfo(datei).fileName());
        const TTeilAuftrag auftrag{kopie, neben, S};
        for (const Fall &f : faelle) {
            const QString name = QFileInfo(datei).fileName() + QLatin1Char(' ') + f.args.join(QLatin1Char(' '));
            for (const QString &d : {datei, neben})
                for (int k = 1; QFile::exists(NeueDatei(d, k)); ++k)
                    QFile::remove(NeueDatei(d, k));
            const Lauf l = cli(QStringList{datei} + f.args);
            ASSERT_EQ(l.code, 0) << name.toStdString() << l.err.toStdString();
            TCutReporter still;
            if (f.modus == ModusMarken) {
                const qint64 laenge = Mp3LaengeMs(kopie);
                QStringList marken;
                for (const qint64 ms : f.marken)
                    ASSERT_TRUE(MarkeSetzen(marken, ms, laenge, still));
                ASSERT_FALSE(MarkenTeilenStarten(auftrag, laenge, marken, still).Fehler) << name.toStdString();
            } else {
                const qint64 sek = Mp3SekundenMpi(kopie, {});
                ASSERT_FALSE(ModusTeilenStarten(auftrag, f.modus, f.n, f.ueberlappung, sek, still).Fehler)
                    << name.toStdString();
            }
            int k = 1;
            for (; QFile::exists(NeueDatei(neben, k)); ++k)
                EXPECT_TRUE(readFile(NeueDatei(datei, k)) == readFile(NeueDatei(neben, k))) << name.toStdString() << " " << k;
            EXPECT_GE(k - 1, 2) << name.toStdString();
            EXPECT_FALSE(QFile::exists(NeueDatei(datei, k))) << name.toStdString();
        }
    }
    EXPECT_EQ(reste(), QStringList()) << "the command line makes no working copy";
}

// Decoded playing time in milliseconds, by mpg123; -1 when it refuses the file.
double decodiertMs(const QString &datei, const QString &wav)
{
    QProcess p;
    p.start(QStringLiteral("mpg123"), {QStringLiteral("-q"), QStringLiteral("-w"), wav, datei});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return -1;
    // 16-bit stereo at 44.1 kHz after the 44-byte header.
    return (QFileInfo(wav).size() - 44) / 4.0 / 44.1;
}

TEST_F(CliSplitTest, PiecesOfAnEncodedFileDecode)
{
    const QString lame = QStandardPaths::findExecutable(QStringLiteral("lame"));
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    if (lame.isEmpty() || ffmpeg.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("mpg123")).isEmpty())
        GTEST_SKIP() << "lame, ffmpeg and mpg123 are needed";
    const QString wav = path(QStringLiteral("ton.wav"));
    const QString datei = path(QStringLiteral("Lied.mp3"));
    ASSERT_EQ(QProcess::execute(ffmpeg, {"-loglevel", "error", "-f", "lavfi", "-i", "sine=frequency=440:duration=75",
                                          "-ac", "2", "-ar", "44100", wav}), 0);
    ASSERT_EQ(QProcess::execute(lame, {"--quiet", "-b", "128", "--tt", "Titel", "--add-id3v2", wav, datei}), 0);
    const double ganz = decodiertMs(datei, path(QStringLiteral("ganz.wav")));
    ASSERT_GT(ganz, 74000);

    const QStringList arten[] = {
        {QStringLiteral("--seconds"), QStringLiteral("20"), QStringLiteral("--overlap"), QStringLiteral("1")},
        {QStringLiteral("--mark"), QStringLiteral("0:00:10,000"), QStringLiteral("--mark"), QStringLiteral("33333")},
    };
    for (const QStringList &art : arten) {
        for (const QString &alt : QDir(dir.path()).entryList({QStringLiteral("Lied_*")}))
            QFile::remove(path(alt));
        const Lauf l = cli(QStringList{datei} + art);
        ASSERT_EQ(l.code, 0) << l.err.toStdString();
        double summe = 0;
        int k = 1;
        for (; QFile::exists(NeueDatei(datei, k)); ++k) {
            const double ms = decodiertMs(NeueDatei(datei, k), path(QStringLiteral("teil.wav")));
            EXPECT_GT(ms, 1000) << art.join(' ').toStdString() << " piece " << k;
            summe += ms;
        }
        EXPECT_GE(k - 1, 3) << art.join(' ').toStdString();
        // Every cut costs at most a frame or two of the audio on each side; overlaps add some.
        EXPECT_NEAR(summe, ganz, art.first() == QLatin1String("--mark") ? 200 : 4000) << art.join(' ').toStdString();
    }
}

} // namespace
