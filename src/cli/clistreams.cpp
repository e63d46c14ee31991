#include "cli/clistreams.h"

int usageError(CliStreams io, const QString &message)
{
    io.err << "zindara-cli: " << message << "\n"
           << "Mehr mit: zindara-cli --help\n";
    io.err.flush();
    return 2;
}
