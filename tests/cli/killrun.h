#pragma once

// Runs a real zindara-cli, slowed down by a pause after every copied block, and kills it with
// SIGKILL at a chosen moment, so a test can look at what a kill at that point leaves behind.

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <csignal>
#include <gtest/gtest.h>

namespace killrun {

inline void vorbereiten(QProcess &process, const QString &tmp, const QString &ordner, int pauseMs)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ZINDARA_KOPIE_PAUSE_MS"), QString::number(pauseMs));
    env.insert(QStringLiteral("TMPDIR"), tmp);
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(ordner);
}

// Starts zindara-cli with `args` in `ordner`, with `tmp` as its temporary folder and `pauseMs`
// after every block, and kills it after `ms` milliseconds. True when it was killed before it
// ended.
inline bool startenUndToeten(const QStringList &args, int ms, const QString &tmp, const QString &ordner,
                             int pauseMs = 3)
{
    QProcess process;
    vorbereiten(process, tmp, ordner, pauseMs);
    process.start(QStringLiteral(ZINDARA_CLI), args);
    EXPECT_TRUE(process.waitForStarted());
    const bool beendet = process.waitForFinished(ms);
    if (!beendet) {
        ::kill(pid_t(process.processId()), SIGKILL);
        process.waitForFinished();
    }
    return !beendet;
}

// Runs zindara-cli with `args` to its end, by default without pauses; its exit code.
inline int ausfuehren(const QStringList &args, const QString &tmp, const QString &ordner, int pauseMs = 0)
{
    QProcess process;
    vorbereiten(process, tmp, ordner, pauseMs);
    process.start(QStringLiteral(ZINDARA_CLI), args);
    EXPECT_TRUE(process.waitForFinished(60000));
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

// Every entry of a folder, hidden ones too.
inline QStringList eintraege(const QString &ordner)
{
    return QDir(ordner).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace killrun
