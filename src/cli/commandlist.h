#pragma once

#include "cli/clicommand.h"

// The commands, each in its own file, in the order the help shows them.
CliCommand infoCommand();
CliCommand tagCommand();
CliCommand splitCommand();
CliCommand joinCommand();

const QList<CliCommand> &cliCommands();
// The command of that name, or none.
const CliCommand *findCommand(const QString &name);

// The options that stand in place of a command.
const CliOption &versionOption();
QList<CliOption> programOptions();
