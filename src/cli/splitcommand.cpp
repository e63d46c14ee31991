#include "cli/commands.h"

int runSplit(const QStringList &args, CliStreams io)
{
    Q_UNUSED(args);
    io.err << "zindara-cli: Der Befehl \"split\" ist noch nicht verfügbar.\n";
    return 1;
}
