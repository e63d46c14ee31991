#include "cli/commands.h"

int runTag(const QStringList &args, CliStreams io)
{
    Q_UNUSED(args);
    io.err << "zindara-cli: Der Befehl \"tag\" ist noch nicht verfügbar.\n";
    return 1;
}
