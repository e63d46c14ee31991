#include "platform/drives.h"
#include "platform/shell.h"
#include "platform/userfolders.h"
#include "systemfixture.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QThread>
#include <QTimer>
#include <QWindow>
#include <cerrno>

namespace {

class ShellTest : public SystemTest {
protected:
    // Waits (generously) until a started program has written `name`.
    QByteArray warteAufDatei(const QString &name)
    {
        QDeadlineTimer deadline(30000);
        while (!QFileInfo::exists(path(name)) && !deadline.hasExpired())
            QThread::msleep(20);
        QThread::msleep(50);
        return readFile(path(name));
    }
    // A desktop application for `mime` whose program records its arguments and exits with `code`.
    QString editorFuer(const QString &mime, int code)
    {
        const QString script = writeScript(QStringLiteral("Mein Editor"),
                                           QByteArray("echo \"$@\" > \"$(dirname \"$0\")/editor.out\"\nexit ")
                                               + QByteArray::number(code) + "\n");
        QDir().mkpath(path(QStringLiteral("data/applications")));
        writeFile(QStringLiteral("data/applications/fake-editor.desktop"),
                  "[Desktop Entry]\nType=Application\nName=Fake\nExec=\"" + script.toUtf8() + "\" --ansehen %f\n");
        QDir().mkpath(path(QStringLiteral("config")));
        writeFile(QStringLiteral("config/mimeapps.list"),
                  "[Added Associations]\n[Default Applications]\n" + mime.toUtf8() + "=missing.desktop;fake-editor.desktop;\n");
        return script;
    }
};

TEST_F(ShellTest, ProgrammStartenTellsHowTheProgramEnded)
{
    const QString ok = writeScript(QStringLiteral("ok.sh"), "exit 0\n");
    const QString fail = writeScript(QStringLiteral("fail.sh"), "exit 1\n");
    const QString slow = writeScript(QStringLiteral("slow.sh"), "sleep 0.3\nexit 0\n");
    const QString hangs = writeScript(QStringLiteral("hangs.sh"), "sleep 3\n");
    const QString killed = writeScript(QStringLiteral("killed.sh"), "kill -9 $$\n");
    const QString notExecutable = writeFile(QStringLiteral("plain.txt"), "exit 0\n");
    struct Case {
        QString program;
        qint32 timeout;
        QString folder;
        bool result;
        int code;
    };
    const Case cases[] = {
        {ok, -1, QString(), true, 32},
        {fail, -1, QString(), false, 32},
        {slow, -1, QString(), true, 32},
        {slow, 60000, QString(), true, 32},
        {hangs, 0, QString(), false, 32},
        {killed, -1, QString(), false, 32},
        {QStringLiteral("sh"), -1, QString(), true, 32},
        {path(QStringLiteral("fehlt.sh")), -1, QString(), false, ENOENT},
        {notExecutable, -1, QString(), false, EACCES},
        {ok, -1, path(QStringLiteral("kein Ordner")), false, ENOENT},
    };
    for (const Case &c : cases) {
        int code = 0;
        EXPECT_EQ(ProgrammStarten(QString(), code, c.program, c.timeout, false, c.folder, QString()), c.result)
            << c.program.toStdString() << " " << c.timeout;
        EXPECT_EQ(code, c.code) << c.program.toStdString();
    }
}

TEST_F(ShellTest, ProgrammStartenPassesFileParametersAndFolder)
{
    const QString args = writeScript(QStringLiteral("args.sh"),
                                     "pwd > \"$(dirname \"$0\")/args.out\"\n"
                                     "for a in \"$@\"; do echo \"[$a]\"; done >> \"$(dirname \"$0\")/args.out\"\n");
    const QString folder = path(QStringLiteral("Arbeits Ordner"));
    ASSERT_TRUE(QDir().mkpath(folder));
    int code = 0;
    ASSERT_TRUE(ProgrammStarten(QStringLiteral("Mit Blank.txt"), code, args, -1, true, folder,
                                QStringLiteral("-a \"zwei Worte\"")));
    EXPECT_EQ(readFile(path(QStringLiteral("args.out"))),
              folder.toUtf8() + "\n[Mit Blank.txt]\n[-a]\n[zwei Worte]\n");
}

TEST_F(ShellTest, TheAssociatedProgramOpensTheFile)
{
    editorFuer(QStringLiteral("text/plain"), 0);
    const QString text = writeFile(QStringLiteral("History.txt"), "Änderungen\n");
    int code = 0;
    ASSERT_TRUE(ProgrammStarten(text, code, QString(), -1, false, QString(), QString()));
    EXPECT_EQ(code, 32);
    EXPECT_EQ(readFile(path(QStringLiteral("editor.out"))), "--ansehen " + text.toUtf8() + "\n");

    const QString unknown = writeFile(QStringLiteral("daten.zzq"), QByteArray(64, '\x01'));
    EXPECT_FALSE(ProgrammStarten(unknown, code, QString(), -1, false, QString(), QString()));
    EXPECT_EQ(code, SE_ERR_NOASSOC);
}

TEST_F(ShellTest, TextDateiZeigenWaitsForTheEditor)
{
    const QString text = writeFile(QStringLiteral("History.txt"), "Änderungen\n");
    EXPECT_FALSE(TextDateiZeigen(path(QStringLiteral("fehlt.txt")), true));

    editorFuer(QStringLiteral("text/plain"), 0);
    EXPECT_TRUE(TextDateiZeigen(text, true));
    EXPECT_EQ(readFile(path(QStringLiteral("editor.out"))), "--ansehen " + text.toUtf8() + "\n");

    QFile::remove(path(QStringLiteral("editor.out")));
    EXPECT_TRUE(TextDateiZeigen(text, false));
    EXPECT_EQ(warteAufDatei(QStringLiteral("editor.out")), "--ansehen " + text.toUtf8() + "\n");

    editorFuer(QStringLiteral("text/plain"), 1);
    EXPECT_FALSE(TextDateiZeigen(text, true));
}

TEST_F(ShellTest, ShellOeffnenRunsProgramsButOnlyOpensDocuments)
{
    // Stands in for the desktop's opener and records what it was given.
    const QString bin = path(QStringLiteral("bin"));
    ASSERT_TRUE(QDir().mkpath(bin));
    writeScript(QStringLiteral("bin/xdg-open"), "echo \"$@\" >> \"$(dirname \"$0\")/../opened.out\"\n");
    setEnv("PATH", bin + QLatin1Char(':') + qEnvironmentVariable("PATH"));

    const QString tool = writeScript(QStringLiteral("welfranz"), "echo \"$PWD $@\" > \"$(dirname \"$0\")/tool.out\"\n");
    ShellOeffnen(nullptr, tool, QStringLiteral("Zindara.cfg"), SW_SHOWNORMAL, QStringLiteral("open"), dir.path());
    EXPECT_EQ(warteAufDatei(QStringLiteral("tool.out")), dir.path().toUtf8() + " Zindara.cfg\n");

    // A document that carries the execute bit, as files from Windows drives do, is not run.
    const QString document = writeFile(QStringLiteral("Notiz.txt"), "touch \"" + path(QStringLiteral("ran.out")).toUtf8() + "\"\n");
    QFile::setPermissions(document, QFile::permissions(document) | QFileDevice::ExeOwner);
    ShellOeffnen(nullptr, document, QString(), SW_SHOWNORMAL, QStringLiteral("open"), QString());
    ShellOeffnen(nullptr, QStringLiteral("https://example.org/spenden.htm"), QString(), SW_SHOWNORMAL,
                 QStringLiteral("open"), QString());
    warteAufDatei(QStringLiteral("opened.out"));
    QDeadlineTimer deadline(30000);
    while (readFile(path(QStringLiteral("opened.out"))).count('\n') < 2 && !deadline.hasExpired())
        QThread::msleep(20);
    const QByteArray both = readFile(path(QStringLiteral("opened.out")));
    EXPECT_TRUE(both.contains(document.toUtf8())) << both.constData();
    EXPECT_TRUE(both.contains("https://example.org/spenden.htm")) << both.constData();
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("ran.out"))));
}

TEST_F(ShellTest, WindowsComeToTheFront)
{
    QWindow window;
    window.setTitle(QStringLiteral("History.txt - Editor"));
    window.show();
    window.showMinimized();
    EXPECT_TRUE(VordergrundErzwingen(&window));
    EXPECT_FALSE(window.windowStates() & Qt::WindowMinimized);
    EXPECT_FALSE(VordergrundErzwingen(nullptr));

    EXPECT_TRUE(FensterAktivieren(QStringLiteral("History.txt - Editor"), false));
    EXPECT_FALSE(FensterAktivieren(QStringLiteral("*History.txt - Editor"), false));
    QTimer::singleShot(50, &window, &QWindow::close);
    EXPECT_TRUE(FensterAktivieren(QStringLiteral("History.txt - Editor"), true));
    EXPECT_FALSE(window.isVisible());
}

TEST_F(ShellTest, FoldersHaveATrailingSlash)
{
    EXPECT_EQ(SpezialOrdner(nullptr, CSIDL_SENDTO), path(QStringLiteral("data/applications/")));
    for (const int csidl : {CSIDL_PERSONAL, CSIDL_MYMUSIC, CSIDL_DESKTOPDIRECTORY, CSIDL_APPDATA}) {
        const QString folder = SpezialOrdner(nullptr, csidl);
        EXPECT_TRUE(folder.startsWith(QLatin1Char('/')) && folder.endsWith(QLatin1Char('/'))) << csidl;
    }
    EXPECT_EQ(SpezialOrdner(nullptr, 999), QString());

    ProzessTexteSetzen();
    EXPECT_EQ(Arbeitsordner(), SpezialOrdner(nullptr, CSIDL_PERSONAL));
    EXPECT_EQ(SendToLink(), path(QStringLiteral("data/applications/zindara.desktop")));
    ArbeitsordnerSetzen(path(QStringLiteral("Musik")));
    EXPECT_EQ(Arbeitsordner(), path(QStringLiteral("Musik/")));
    ProzessTexteLoeschen();
    EXPECT_EQ(Arbeitsordner(), QString());
    ProzessTexteSetzen();
}

TEST_F(ShellTest, DrivesAreFoundFromTheNearestExistingFolder)
{
    EXPECT_TRUE(LaufwerkBereit(dir.path()));
    EXPECT_TRUE(LaufwerkBereit(path(QStringLiteral("gibt/es/nicht.mp3"))));
    EXPECT_EQ(LaufwerkName(path(QStringLiteral("gibt/es/nicht.mp3"))), LaufwerkName(dir.path()));
}

} // namespace
