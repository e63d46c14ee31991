#include "cli/clicommand.h"

#include "cli/clihelp.h"

int CliCommand::execute(const QStringList &words, CliStreams io) const
{
    const CliArguments args = CliArguments::read(options, words);
    if (args.helpAsked()) {
        io.out << commandHelp(*this);
        return 0;
    }
    if (!args.error().isEmpty())
        return usageError(io, args.error());
    return run(args, io);
}
