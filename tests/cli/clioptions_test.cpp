#include "support/mpegbuilder.h"
#include "support/tempdir.h"

#include <QDir>
#include <QProcess>

namespace {

struct CliRun {
    int code = -1;
    QString out, err;
};

// Every command reads its options by the same rules and says the same about the same fault.
class CliOptionsTest : public TempDirTest {
protected:
    // Runs zindara-cli in `folder` of the test's folder, which is also its temporary folder.
    CliRun cli(const QStringList &args, const QString &folder = QStringLiteral("."))
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TMPDIR"), dir.path());
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(path(folder));
        p.start(QStringLiteral(ZINDARA_CLI), args);
        EXPECT_TRUE(p.waitForFinished(60000));
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }
    // Three seconds of silent CBR audio with both tags.
    QString song(const QString &name) const
    {
        return writeFile(name,
                         mpeg::id3v2Tag(3, 1024) + mpeg::frames({}, 115, true) + mpeg::id3v1Tag(QStringLiteral("T")));
    }
    // Every file of a folder with its bytes.
    static QList<QPair<QString, QByteArray>> contents(const QString &folder)
    {
        QList<QPair<QString, QByteArray>> files;
        for (const QString &name : QDir(folder).entryList(QDir::Files, QDir::Name))
            files.append({name, readFile(folder + QLatin1Char('/') + name)});
        return files;
    }
};

TEST_F(CliOptionsTest, TheSameFaultGivesTheSameMessageInEveryCommand)
{
    song(QStringLiteral("a.mp3"));
    const QByteArray before = readFile(path(QStringLiteral("a.mp3")));
    struct Case {
        QStringList args;
        const char *message;
    };
    const Case cases[] = {
        {{"info", "--xml", "a.mp3"}, "Unbekannte Option \"--xml\"."},
        {{"tag", "--titel=T", "a.mp3"}, "Unbekannte Option \"--titel\"."},
        {{"split", "a.mp3", "--kb", "10", "--bytes", "1"}, "Unbekannte Option \"--bytes\"."},
        {{"split", "a.mp3", "-x", "--kb", "10"}, "Unbekannte Option \"-x\"."},
        {{"join", "-o", "x.mp3", "--schnell", "a.mp3"}, "Unbekannte Option \"--schnell\"."},
        {{"tag", "a.mp3", "--title"}, "Nach \"--title\" fehlt der Wert."},
        {{"split", "a.mp3", "--kb"}, "Nach \"--kb\" fehlt der Wert."},
        {{"join", "a.mp3", "-o"}, "Nach \"-o\" fehlt der Wert."},
        {{"tag", "--title=A", "--title", "B", "a.mp3"}, "Die Option \"--title\" ist doppelt angegeben."},
        {{"split", "a.mp3", "--kb", "10", "--overlap", "1", "--overlap=2"},
         "Die Option \"--overlap\" ist doppelt angegeben."},
        {{"join", "-o", "x.mp3", "-o", "y.mp3", "a.mp3"}, "Die Option \"-o\" ist doppelt angegeben."},
        {{"info", "--json=ja", "a.mp3"}, "Zu \"--json\" gehört kein Wert."},
        {{"join", "-o", "x.mp3", "--append=ja", "a.mp3"}, "Zu \"--append\" gehört kein Wert."},
    };
    for (const Case &c : cases) {
        const CliRun r = cli(c.args);
        EXPECT_EQ(r.code, 2) << c.args.join(u' ').toStdString();
        EXPECT_EQ(r.err.toStdString(), QStringLiteral("zindara-cli: %1\nMehr mit: zindara-cli --help\n")
                                           .arg(QString::fromUtf8(c.message))
                                           .toStdString())
            << c.args.join(u' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
    }
    EXPECT_EQ(contents(dir.path()).size(), 1);
    EXPECT_EQ(readFile(path(QStringLiteral("a.mp3"))), before);
}

// `--x=y` once worked only for tag.
TEST_F(CliOptionsTest, AValueAfterAnEqualsSignIsTheSameAsTheNextWord)
{
    struct Case {
        QStringList apart, joined;
    };
    const Case cases[] = {
        {{"split", "a.mp3", "--kb", "20"}, {"split", "a.mp3", "--kb=20"}},
        {{"split", "a.mp3", "--seconds", "1", "--overlap", "1"}, {"split", "--seconds=1", "a.mp3", "--overlap=1"}},
        {{"split", "a.mp3", "--mark", "500", "--mark", "0:00:02,000"},
         {"split", "a.mp3", "--mark=500", "--mark=0:00:02,000"}},
        {{"tag", "--title", "Neu", "--year", "2024", "a.mp3"}, {"tag", "--title=Neu", "--year=2024", "a.mp3"}},
        {{"tag", "--remove", "v2", "a.mp3"}, {"tag", "--remove=v2", "a.mp3"}},
    };
    int n = 0;
    for (const Case &c : cases) {
        const QString one = QStringLiteral("one%1").arg(n), two = QStringLiteral("two%1").arg(n++);
        ASSERT_TRUE(QDir(dir.path()).mkdir(one) && QDir(dir.path()).mkdir(two));
        song(one + QStringLiteral("/a.mp3"));
        song(two + QStringLiteral("/a.mp3"));
        const CliRun apart = cli(c.apart, one);
        const CliRun joined = cli(c.joined, two);
        EXPECT_EQ(apart.code, 0) << c.apart.join(u' ').toStdString() << apart.err.toStdString();
        EXPECT_EQ(joined.code, 0) << c.joined.join(u' ').toStdString() << joined.err.toStdString();
        EXPECT_EQ(QString(joined.out).replace(two, one).toStdString(),
                  apart.out.toStdString()); // the memo names the folder
        EXPECT_GT(contents(path(one)).size(), c.apart.first() == QLatin1String("split") ? 1 : 0);
        EXPECT_TRUE(contents(path(two)) == contents(path(one))) << c.joined.join(u' ').toStdString();
    }
}

TEST_F(CliOptionsTest, DoubleDashEndsTheOptionsOfEveryCommand)
{
    song(QStringLiteral("-a.mp3"));
    const CliRun info = cli({"info", "--", "-a.mp3"});
    EXPECT_EQ(info.code, 0) << info.err.toStdString();
    EXPECT_TRUE(info.out.startsWith(QStringLiteral("Datei: -a.mp3\n"))) << info.out.toStdString();
    const CliRun tag = cli({"tag", "--title", "Neu", "--", "-a.mp3"});
    EXPECT_EQ(tag.code, 0) << tag.err.toStdString();
    const CliRun split = cli({"split", "--kb", "20", "--", "-a.mp3"});
    EXPECT_EQ(split.code, 0) << split.err.toStdString();
    const CliRun join = cli({"join", "-o", "b.mp3", "--", "-a.mp3"});
    EXPECT_EQ(join.code, 0) << join.err.toStdString();
}

TEST_F(CliOptionsTest, EveryCommandShowsItsOwnHelp)
{
    struct Case {
        const char *command;
        QStringList options;
    };
    const Case cases[] = {
        {"info", {"--json"}},
        {"tag",
         {"--title T", "--artist A", "--album A", "--year J", "--comment K", "--track N", "--genre G",
          "--remove v1|v2|both"}},
        {"split", {"--kb N", "--minutes N", "--seconds N", "--overlap S", "--mark M"}},
        {"join", {"-o ZIEL", "--append", "--overwrite"}},
    };
    for (const Case &c : cases) {
        const QString command = QString::fromLatin1(c.command);
        const CliRun r = cli({command, QStringLiteral("--help")});
        EXPECT_EQ(r.code, 0) << c.command;
        EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
        EXPECT_TRUE(r.out.startsWith(QStringLiteral("Aufruf: zindara-cli %1 ").arg(command))) << r.out.toStdString();
        for (const QString &option : c.options + QStringList{QStringLiteral("-h, --help")})
            EXPECT_TRUE(r.out.contains(QStringLiteral("\n  %1 ").arg(option)))
                << c.command << ' ' << option.toStdString();
        EXPECT_EQ(cli({command, QStringLiteral("a.mp3"), QStringLiteral("-h")}).out, r.out) << c.command;
    }
}

} // namespace
