#include "cli/commands.h"

int runInfo(const QStringList &args, CliStreams io)
{
    Q_UNUSED(args);
    io.err << "zindara-cli: Der Befehl \"info\" ist noch nicht verfügbar.\n";
    return 1;
}
