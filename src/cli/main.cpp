#include "cli/commands.h"

#include "support/tempowner.h"

#include <QCoreApplication>
#include <QStringConverter>

static const char *helpText =
    "Aufruf: zindara-cli BEFEHL [OPTIONEN] DATEI...\n"
    "\n"
    "Zindara teilt MP3-Dateien, fügt sie zusammen und liest und schreibt ihre ID3-Tags,\n"
    "ohne den Ton neu zu kodieren.\n"
    "\n"
    "Befehle:\n"
    "  info [--json] DATEI...            Tags und MPEG-Daten der Dateien zeigen\n"
    "  tag [--title T] [--artist A] [--album A] [--year J] [--comment K]\n"
    "      [--track N] [--genre G] DATEI...\n"
    "                                    ID3v1- und ID3v2-Tag der Dateien schreiben\n"
    "  tag --remove v1|v2|both DATEI...  Tags entfernen\n"
    "  split DATEI (--kb N | --minutes N | --seconds N) [--overlap S]\n"
    "                                    Datei in Teile fester Größe oder Dauer teilen\n"
    "  split DATEI --mark M [--mark M ...]\n"
    "                                    Datei an Marken teilen (H:MM:SS,mmm oder Millisekunden)\n"
    "      [--byte-cut]                  nach Bytes anteilig schneiden statt an Frame-Grenzen\n"
    "  join -o ZIEL [--append | --overwrite] DATEI...\n"
    "                                    Dateien zu einer Datei zusammenfügen\n"
    "\n"
    "Optionen:\n"
    "  -h, --help                        diese Hilfe zeigen\n"
    "  -v, --version                     Version zeigen\n"
    "\n"
    "Rückgabewerte: 0 Erfolg, 1 ein Fehler ist aufgetreten, 2 falscher Aufruf.\n";

int usageError(CliStreams io, const QString &message)
{
    io.err << "zindara-cli: " << message << "\n"
           << "Mehr mit: zindara-cli --help\n";
    io.err.flush();
    return 2;
}

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
    const QString command = args.takeFirst();
    int code = 0;
    if (command == QLatin1String("-h") || command == QLatin1String("--help")) {
        out << helpText;
    } else if (command == QLatin1String("-v") || command == QLatin1String("--version")) {
        out << "Zindara V1.42\n";
    } else if (command == QLatin1String("info")) {
        code = runInfo(args, io);
    } else if (command == QLatin1String("tag")) {
        code = runTag(args, io);
    } else if (command == QLatin1String("split")) {
        code = runSplit(args, io);
    } else if (command == QLatin1String("join")) {
        code = runJoin(args, io);
    } else {
        code = usageError(io, QStringLiteral("Unbekannter Befehl \"%1\".").arg(command));
    }
    out.flush();
    err.flush();
    return code;
}
