#pragma once

#include "cli/cliarguments.h"
#include "cli/clistreams.h"

#include <functional>

// One way to call a command, as the help shows it: the words after the command's name (further
// lines continue a long call) and what that call does.
struct CliUsage {
    QStringList synopsis;
    QString help;
};

// One command of zindara-cli: its name, what the help says about it, its options and what runs it.
struct CliCommand {
    QString name;
    QString summary; // one line
    QList<CliUsage> usages;
    QList<CliOption> options;
    std::function<int(const CliArguments &, CliStreams)> run;

    // Reads the words after the command's name; shows the command's help or a usage error, or runs it.
    int execute(const QStringList &words, CliStreams io) const;
};
