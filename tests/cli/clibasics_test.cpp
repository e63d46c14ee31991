#include <QProcess>
#include <gtest/gtest.h>

namespace {

struct CliRun {
    int code;
    QString out;
    QString err;
};

CliRun cli(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(ZINDARA_CLI), args);
    EXPECT_TRUE(p.waitForFinished(30000));
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

TEST(CliBasics, HelpListsEveryCommandInGerman)
{
    const CliRun r = cli({QStringLiteral("--help")});
    EXPECT_EQ(r.code, 0);
    for (const char *word : {"Aufruf:", "info", "tag", "split", "join", "--remove", "--mark", "--append"})
        EXPECT_TRUE(r.out.contains(QLatin1String(word))) << word;
}

TEST(CliBasics, VersionNamesTheProgram)
{
    const CliRun r = cli({QStringLiteral("--version")});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out.trimmed(), QStringLiteral("Zindara V1.42"));
}

TEST(CliBasics, BadArgumentsGiveGermanMessageAndExitCode2)
{
    for (const QStringList &args : {QStringList{}, QStringList{QStringLiteral("zerschneiden")}}) {
        const CliRun r = cli(args);
        EXPECT_EQ(r.code, 2);
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_TRUE(r.err.contains(QStringLiteral("zindara-cli --help"))) << r.err.toStdString();
    }
}

} // namespace
