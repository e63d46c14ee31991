#include "platform/registrymailbox.h"
#include "platform/registrystore.h"
#include "platform/singleinstance.h"
#include "systemfixture.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <memory>
#include <vector>

namespace {

const QString titel = QStringLiteral("Zindara V1.42");

TEST(TitelPasstTest, TheTitleMustFirstOccurAtTheEnd)
{
    struct Case {
        const char *caption;
        bool found;
    };
    const Case cases[] = {
        {"NoName - Zindara V1.42", true},
        {"Hörbuch Kapitel 1.mp3 - Zindara V1.42", true},
        {"Zindara V1.42", true},
        {"Zindara V1.42 - Zindara V1.42", false},
        {"Zindara V1.42 - Lied.mp3", false},
        {"NoName - Zindara V1.4", false},
        {"NoName - zindara v1.42", false},
        {"", false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(TitelPasst(QString::fromUtf8(c.caption), titel), c.found) << c.caption;
    // Long file names are not cut off as a fixed caption buffer would.
    EXPECT_TRUE(TitelPasst(QString(300, QLatin1Char('x')) + QStringLiteral(".mp3 - ") + titel, titel));
}

class SingleInstanceTest : public SystemTest {
protected:
    // The program as a real process (the first copy, or a second start with arguments).
    std::unique_ptr<QProcess> starten(const QStringList &arguments, const QByteArray &mode = QByteArray())
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!mode.isEmpty())
            env.insert(QStringLiteral("ZINDARA_HELPER_MODE"), QString::fromLatin1(mode));
        process->setProcessEnvironment(env);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(QStringLiteral(ZINDARA_FIRSTCOPY), arguments);
        EXPECT_TRUE(process->waitForStarted(30000));
        return process;
    }

    // The next line the process prints; generous waits, the machine is shared.
    static QString naechsteZeile(QProcess &process)
    {
        QDeadlineTimer deadline(60000);
        while (!process.canReadLine() && !deadline.hasExpired()) {
            if (!process.waitForReadyRead(200) && process.state() == QProcess::NotRunning)
                break;
        }
        return QString::fromUtf8(process.readLine()).trimmed();
    }

    static void beenden(QProcess &process)
    {
        process.kill();
        process.waitForFinished(30000);
    }

    bool mailboxDa()
    {
        TRegistryStore store;
        return store.KeyExists(QStringLiteral("Zindara"));
    }
};

TEST_F(SingleInstanceTest, ASecondStartHandsOverOnlyWhileTheMainWindowIsThere)
{
    struct Case {
        const char *caption; // nullptr: no caption file
        QStringList arguments;
        bool written;
        QString parameters;
        QString setFocus;
    };
    const QStringList files{QStringLiteral("/m/eins.mp3"), QStringLiteral(" /m/zwei.mp3 ")};
    const Case cases[] = {
        {"NoName - Zindara V1.42", files, true, QStringLiteral("/m/eins.mp3|/m/zwei.mp3"), QString()},
        {"Lied.mp3 - Zindara V1.42", {}, true, QString(), QStringLiteral("1")},
        {"NoName - Zindara V1.42", {QStringLiteral("  ")}, true, QString(), QStringLiteral("1")},
        {nullptr, files, false, QString(), QString()},
        {"", files, false, QString(), QString()},
        {"Zindara V1.42 - Zindara V1.42", files, false, QString(), QString()},
        {"Zindara V1.42 - Zindara V1.42", {}, false, QString(), QString()},
    };
    TProgrammSperre first(titel);
    ASSERT_TRUE(ProgrammStartPruefen(first, titel, {}));
    for (const Case &c : cases) {
        QFile::remove(first.captionDatei());
        if (c.caption) {
            ASSERT_TRUE(first.captionSchreiben(QString::fromUtf8(c.caption)));
        }
        TProgrammSperre second(titel);
        EXPECT_FALSE(ProgrammStartPruefen(second, titel, c.arguments)) << c.caption;
        EXPECT_FALSE(second.gehalten());

        TRegistryStore store;
        TRegistrySettings rs;
        EXPECT_EQ(ReadRegistrySettings(QStringLiteral("Zindara"), rs, store), c.written) << c.caption;
        EXPECT_EQ(rs.Parameters, c.parameters) << c.caption;
        EXPECT_EQ(rs.SetFocus, c.setFocus) << c.caption;
        EXPECT_TRUE(rs.Close.isEmpty());
    }
}

TEST_F(SingleInstanceTest, TheFirstCopyDropsWhatWasLeftAndForgetsItsCaptionAtTheEnd)
{
    ASSERT_TRUE(WriteRegistrySettings(QStringLiteral("Zindara"), rsClose()));
    {
        TProgrammSperre sperre(titel);
        ASSERT_TRUE(ProgrammStartPruefen(sperre, titel, {}));
        EXPECT_FALSE(mailboxDa());
        EXPECT_TRUE(CaptionMelden(QStringLiteral("NoName - ") + titel));
        EXPECT_TRUE(FensterMitTitelSuchen(sperre, titel));
    }
    TProgrammSperre later(titel);
    EXPECT_FALSE(FensterMitTitelSuchen(later, titel));
    EXPECT_FALSE(CaptionMelden(QStringLiteral("NoName - ") + titel));
}

TEST_F(SingleInstanceTest, LocksOfACopyThatCrashedDoNotBlock)
{
    for (const QByteArray &mode : {QByteArray("hold-program-lock"), QByteArray("hold-store-lock")}) {
        auto crashed = starten({}, mode);
        ASSERT_EQ(naechsteZeile(*crashed), QStringLiteral("LOCKED")) << mode.constData();
        if (mode == "hold-program-lock") {
            TProgrammSperre blocked(titel);
            EXPECT_FALSE(blocked.erwerben());
        }
        beenden(*crashed);

        TProgrammSperre sperre(titel);
        EXPECT_TRUE(sperre.erwerben()) << mode.constData();
        // Its caption does not stand for this copy's window.
        EXPECT_FALSE(FensterMitTitelSuchen(sperre, titel));
        EXPECT_TRUE(WriteRegistrySettings(QStringLiteral("Zindara"), rsSetFocus())) << mode.constData();
        TRegistrySettings rs;
        EXPECT_TRUE(ReadRegistrySettings(QStringLiteral("Zindara"), rs));
    }
}

TEST_F(SingleInstanceTest, AnEmptyLockFileBlocksOnlyWhileItIsNewOrHeld)
{
    struct Case {
        int ageSeconds;
        bool held; // by a live process, as a copy holds its lock
        bool taken;
    };
    for (const Case c : {Case{3600, false, true}, Case{0, false, false}, Case{3600, true, false}}) {
        TProgrammSperre sperre(titel);
        ASSERT_TRUE(QDir().mkpath(runtimeDir()));
        QFile file(sperre.sperrDatei());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(
            file.setFileTime(QDateTime::currentDateTime().addSecs(-c.ageSeconds), QFileDevice::FileModificationTime));
        file.close();
        QProcess holder;
        if (c.held) {
            // One process that keeps the locked file open until it is killed.
            holder.start(QStringLiteral("/bin/sh"),
                         {QStringLiteral("-c"), QStringLiteral("exec 9<\"$0\"; flock -x 9; echo LOCKED; exec sleep 60"),
                          sperre.sperrDatei()});
            ASSERT_EQ(naechsteZeile(holder), QStringLiteral("LOCKED"));
        }
        EXPECT_EQ(sperre.erwerben(), c.taken) << c.ageSeconds << c.held;
        EXPECT_EQ(sperre.gehalten(), c.taken) << c.ageSeconds << c.held;
        if (c.held)
            beenden(holder);
        sperre.freigeben();
        QFile::remove(sperre.sperrDatei());
    }
}

TEST_F(SingleInstanceTest, WritesOfSeveralCopiesAtOnceAreAllKept)
{
    std::vector<std::unique_ptr<QProcess>> writers;
    for (const char *prefix : {"a", "b", "c"})
        writers.push_back(starten({QString::fromLatin1(prefix)}, "write-values"));
    QStringList expected;
    for (const char *prefix : {"a", "b", "c"}) {
        for (int i = 0; i < 40; ++i)
            expected << QString::fromLatin1(prefix) + QString::number(i);
    }
    for (auto &writer : writers) {
        ASSERT_TRUE(writer->waitForFinished(120000));
        EXPECT_EQ(writer->exitCode(), 0);
    }
    TRegistryStore store;
    ASSERT_TRUE(store.OpenKey(QStringLiteral("Last"), false));
    QStringList names = store.GetValueNames();
    names.sort();
    expected.sort();
    EXPECT_EQ(names, expected);
}

TEST_F(SingleInstanceTest, TheRunningCopyReceivesRequestsOnePerPass)
{
    auto first = starten({});
    ASSERT_EQ(naechsteZeile(*first), QStringLiteral("READY"));

    auto second = starten({QStringLiteral("/m/eins.mp3"), QStringLiteral("  /m/zwei.mp3 ")});
    ASSERT_TRUE(second->waitForFinished(60000));
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(second->readAll()).trimmed(), QStringLiteral("HANDED"));
    EXPECT_EQ(naechsteZeile(*first), QStringLiteral("COPYDATA /m/eins.mp3|/m/zwei.mp3"));
    EXPECT_EQ(naechsteZeile(*first), QStringLiteral("PART /m/eins.mp3"));
    EXPECT_EQ(naechsteZeile(*first), QStringLiteral("PART /m/zwei.mp3"));

    auto third = starten({});
    ASSERT_TRUE(third->waitForFinished(60000));
    EXPECT_EQ(naechsteZeile(*first), QStringLiteral("SETFOCUS"));

    // Written together they are read in one pass, and only the first is acted on.
    TRegistrySettings both;
    both.SetData(QString(), QStringLiteral("1"), QStringLiteral("1"));
    ASSERT_TRUE(WriteRegistrySettings(QStringLiteral("Zindara"), both));
    EXPECT_EQ(naechsteZeile(*first), QStringLiteral("SETFOCUS"));

    // As a user would from a shell: a whole file put in place at once.
    const QString command = QStringLiteral("printf 'ProgramClose=ja\\n' > \"$0/Zindara.tmp\" && "
                                           "mv \"$0/Zindara.tmp\" \"$0/Zindara.ini\"");
    ASSERT_EQ(QProcess::execute(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command, registryDir()}), 0);
    EXPECT_EQ(naechsteZeile(*first), QStringLiteral("CLOSE"));
    ASSERT_TRUE(first->waitForFinished(60000));
    EXPECT_EQ(first->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first->exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(first->readAll()).trimmed(), QString());
    EXPECT_FALSE(mailboxDa());
}

} // namespace
