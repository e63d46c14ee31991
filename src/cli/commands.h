#pragma once

#include <QStringList>
#include <QTextStream>

// Each command gets its arguments without the command word. Exit codes: 0 success,
// 1 something failed, 2 bad arguments.
struct CliStreams {
    QTextStream &out;
    QTextStream &err;
};

int runInfo(const QStringList &args, CliStreams io);
int runTag(const QStringList &args, CliStreams io);
int runSplit(const QStringList &args, CliStreams io);
int runJoin(const QStringList &args, CliStreams io);

// Prints a German usage error and returns the exit code for bad arguments.
int usageError(CliStreams io, const QString &message);
