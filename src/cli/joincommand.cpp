#include "cli/commands.h"

int runJoin(const QStringList &args, CliStreams io)
{
    Q_UNUSED(args);
    io.err << "zindara-cli: Der Befehl \"join\" ist noch nicht verfügbar.\n";
    return 1;
}
