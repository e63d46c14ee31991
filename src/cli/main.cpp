#include "cli/clihelp.h"
#include "cli/commandlist.h"

#include "support/tempowner.h"

#include <QCoreApplication>
#include <QStringConverter>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setEncoding(QStringConverter::Utf8);
    err.setEncoding(QStringConverter::Utf8);
    CliStreams io{out, err};
    // Working copies of runs that were killed are removed; those of running ones stay.
    VerwaisteTempDateienEntfernen();

    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty())
        return usageError(io, QStringLiteral("Es wurde kein Befehl angegeben."));
    const QString word = args.takeFirst();
    int code = 0;
    if (helpOption().matches(word)) {
        out << programHelp(cliCommands(), programOptions());
    } else if (versionOption().matches(word)) {
        out << "Zindara V1.42\n";
    } else if (const CliCommand *command = findCommand(word)) {
        code = command->execute(args, io);
    } else {
        code = usageError(io, QStringLiteral("Unbekannter Befehl \"%1\".").arg(word));
    }
    out.flush();
    err.flush();
    return code;
}
