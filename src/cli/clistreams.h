#pragma once

#include <QString>
#include <QTextStream>

// Where a command writes. Exit codes: 0 success, 1 something failed, 2 bad arguments.
struct CliStreams {
    QTextStream &out;
    QTextStream &err;
};

// Prints a German usage error and returns the exit code for bad arguments.
int usageError(CliStreams io, const QString &message);
