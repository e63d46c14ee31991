#include "cli/commandlist.h"

const QList<CliCommand> &cliCommands()
{
    static const QList<CliCommand> commands{infoCommand(), tagCommand(), splitCommand(), joinCommand()};
    return commands;
}

const CliCommand *findCommand(const QString &name)
{
    for (const CliCommand &command : cliCommands())
        if (command.name == name)
            return &command;
    return nullptr;
}

const CliOption &versionOption()
{
    static const CliOption option{
        QStringLiteral("--version"), {}, QStringLiteral("Version zeigen"), false, QStringLiteral("-v")};
    return option;
}

QList<CliOption> programOptions()
{
    return {helpOption(), versionOption()};
}
