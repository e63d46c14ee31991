#include "platform/desktopentry.h"
#include "platform/userfolders.h"
#include "systemfixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

TEST(ExecLineTest, ArgumentsSurviveQuotingAndFieldCodes)
{
    const QStringList odd[] = {
        {QStringLiteral("/usr/bin/zindara")},
        {QStringLiteral("/opt/Mein Programm/zindara"), QStringLiteral("--x=100%")},
        {QStringLiteral("/a/$HOME/`b`"), QStringLiteral("\"zitiert\""), QStringLiteral("back\\slash"), QString()},
        {QStringLiteral("/m/Hörbücher;&|<>*?#()~'")},
        {QStringLiteral("/m/100% laut")},
    };
    for (const QStringList &args : odd) {
        const QString written = DesktopWertSchreiben(ExecZusammensetzen(args) + QStringLiteral(" %F"));
        EXPECT_EQ(ExecZerlegen(DesktopWertLesen(written)), args) << written.toStdString();
    }
    struct Case {
        const char *exec;
        QStringList args;
    };
    const Case cases[] = {
        {"gedit %U", {QStringLiteral("gedit")}},
        {"\"/opt/a b/ed\" --neu %f", {QStringLiteral("/opt/a b/ed"), QStringLiteral("--neu")}},
        {"env  LANG=C\ted --rate=50%% %i", {QStringLiteral("env"), QStringLiteral("LANG=C"), QStringLiteral("ed"),
                                            QStringLiteral("--rate=50%")}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ExecZerlegen(QString::fromUtf8(c.exec)), c.args) << c.exec;
    EXPECT_EQ(DesktopWertLesen(QStringLiteral("a\\sb\\\\c\\nd")), QStringLiteral("a b\\c\nd"));
}

class DesktopEntryTest : public SystemTest {};

TEST_F(DesktopEntryTest, TheEntryStartsTheTargetWithTheChosenFiles)
{
    const QString link = path(QStringLiteral("data/applications/zindara.desktop"));
    const QString target = path(QStringLiteral("Mein Programm/zindara"));
    ASSERT_TRUE(VerknuepfungAnlegen(link, target, QString(), 1, 0, QString(), QString()));
    EXPECT_EQ(DesktopEintragWert(link, QStringLiteral("Type")), QStringLiteral("Application"));
    EXPECT_EQ(DesktopEintragWert(link, QStringLiteral("Name")), QStringLiteral("Zindara"));
    EXPECT_EQ(DesktopEintragWert(link, QStringLiteral("MimeType")), QStringLiteral("audio/mpeg;"));
    EXPECT_EQ(DesktopEintragWert(link, QStringLiteral("Path")), path(QStringLiteral("Mein Programm")));
    EXPECT_EQ(DesktopEintragWert(link, QStringLiteral("Comment")), QString());
    const QString exec = DesktopEintragWert(link, QStringLiteral("Exec"));
    EXPECT_TRUE(exec.endsWith(QStringLiteral(" %F"))) << exec.toStdString();
    EXPECT_EQ(ExecZerlegen(exec), QStringList{target});

    ASSERT_TRUE(VerknuepfungAnlegen(link, target, QStringLiteral("--leise \"zwei Worte\""), 1, 0, dir.path(),
                                    QStringLiteral("MP3-Dateien teilen")));
    EXPECT_EQ(ExecZerlegen(DesktopEintragWert(link, QStringLiteral("Exec"))),
              (QStringList{target, QStringLiteral("--leise"), QStringLiteral("zwei Worte")}));
    EXPECT_EQ(DesktopEintragWert(link, QStringLiteral("Path")), dir.path());
    EXPECT_EQ(DesktopEintragWert(link, QStringLiteral("Comment")), QStringLiteral("MP3-Dateien teilen"));
}

TEST_F(DesktopEntryTest, EveryStartRewritesTheEntry)
{
    ProzessTexteSetzen();
    const QString link = SendToLink();
    ASSERT_EQ(link, path(QStringLiteral("data/applications/zindara.desktop")));
    const QString self = QCoreApplication::applicationFilePath();
    for (int start = 0; start < 2; ++start) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(link).absolutePath()));
        writeFile(QStringLiteral("data/applications/zindara.desktop"), "[Desktop Entry]\nExec=/old/zindara %F\n");
        QFile::setPermissions(link, QFileDevice::ReadOwner);
        EXPECT_TRUE(SendToVerknuepfungErneuern()) << start;
        EXPECT_EQ(ExecZerlegen(DesktopEintragWert(link, QStringLiteral("Exec"))), QStringList{self}) << start;
    }
    ProzessTexteSetzen();
}

// The menu shows one entry per file name: the user's hides an installed one. Ours is left out
// (and an earlier copy's removed) only where the installed entry starts this very program.
TEST_F(DesktopEntryTest, AnInstalledEntryForThisProgramIsNotHiddenByOurs)
{
    ProzessTexteSetzen();
    const QString link = SendToLink();
    const QString self = QCoreApplication::applicationFilePath();
    const QString bin = path(QStringLiteral("prefix/bin"));
    ASSERT_TRUE(QDir().mkpath(bin));
    ASSERT_TRUE(QFile::link(self, bin + QStringLiteral("/zindara")));
    setEnv("PATH", bin + QLatin1Char(':') + qEnvironmentVariable("PATH"));
    struct Case {
        const char *what;
        QByteArray installedExec; // empty: no installed entry
        bool ours;
    };
    const Case cases[] = {
        {"nothing installed", {}, true},
        {"by name along PATH", "zindara %F", false},
        {"by full path, through a link", ExecZusammensetzen({bin + QStringLiteral("/zindara")}).toUtf8() + " %F", false},
        {"another program", "/usr/bin/zindara %F", true},
        {"a name not on PATH", "zindara-alt %F", true},
    };
    const QString installed = path(QStringLiteral("usr-share/applications/zindara.desktop"));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(installed).absolutePath()));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(link).absolutePath()));
    for (const Case &c : cases) {
        QFile::remove(installed);
        if (!c.installedExec.isEmpty())
            writeFile(QStringLiteral("usr-share/applications/zindara.desktop"),
                      "[Desktop Entry]\nType=Application\nName=Zindara\nExec=" + c.installedExec + "\n");
        writeFile(QStringLiteral("data/applications/zindara.desktop"), "[Desktop Entry]\nExec=/old/zindara %F\n");
        EXPECT_EQ(InstallierterEintrag(link), c.installedExec.isEmpty() ? QString() : installed) << c.what;
        EXPECT_TRUE(SendToVerknuepfungErneuern()) << c.what;
        EXPECT_EQ(QFileInfo::exists(link), c.ours) << c.what;
        if (c.ours) {
            EXPECT_EQ(ExecZerlegen(DesktopEintragWert(link, QStringLiteral("Exec"))), QStringList{self}) << c.what;
        }
    }
    ProzessTexteSetzen();
}

TEST_F(DesktopEntryTest, AnEntryThatCannotBeSavedReportsFalse)
{
    const QString blocker = writeFile(QStringLiteral("datei"), "x");
    EXPECT_FALSE(VerknuepfungAnlegen(blocker + QStringLiteral("/zindara.desktop"), QStringLiteral("/usr/bin/zindara"),
                                     QString(), 1, 0, QString(), QString()));
    EXPECT_FALSE(VerknuepfungAnlegen(QString(), QStringLiteral("/usr/bin/zindara"), QString(), 1, 0, QString(), QString()));
    EXPECT_FALSE(VerknuepfungAnlegen(QStringLiteral("relativ.desktop"), QStringLiteral("/usr/bin/zindara"), QString(), 1,
                                     0, QString(), QString()));
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("relativ.desktop")));
}

} // namespace
