#include "cli/clihelp.h"

#include "cli/clicommand.h"

namespace {

constexpr qsizetype kHelpColumn = 36;

const char *kExitCodes = "Rückgabewerte: 0 Erfolg, 1 ein Fehler ist aufgetreten, 2 falscher Aufruf.\n";

// The last line of `left` takes the help when there is room for it, else the help gets its own line.
QString twoColumns(const QStringList &left, const QString &help)
{
    QString text;
    for (qsizetype i = 0; i + 1 < left.size(); ++i)
        text += left[i] + u'\n';
    const QString &last = left.last();
    if (last.size() <= kHelpColumn - 2)
        return text + last.leftJustified(kHelpColumn) + help + u'\n';
    return text + last + u'\n' + QString(kHelpColumn, u' ') + help + u'\n';
}

QString optionText(const CliOption &option)
{
    QString text = option.alias.isEmpty() ? option.name : option.alias + QStringLiteral(", ") + option.name;
    if (option.takesValue())
        text += u' ' + option.value;
    return text;
}

QString optionLines(const QList<CliOption> &options)
{
    QString text;
    for (const CliOption &option : options)
        text += twoColumns({QStringLiteral("  ") + optionText(option)}, option.help);
    return text;
}

// One call of a command; its further lines line up after the command's name.
QStringList callLines(const QString &lead, const CliCommand &command, const CliUsage &usage)
{
    const QString indent(lead.size() + command.name.size() + 1, u' ');
    QStringList lines;
    for (const QString &part : usage.synopsis)
        lines << (lines.isEmpty() ? lead + command.name + u' ' : indent) + part;
    return lines;
}

} // namespace

QString programHelp(const QList<CliCommand> &commands, const QList<CliOption> &programOptions)
{
    QString text = QStringLiteral("Aufruf: zindara-cli BEFEHL [OPTIONEN] DATEI...\n"
                                  "\n"
                                  "Zindara teilt MP3-Dateien, fügt sie zusammen und liest und schreibt ihre ID3-Tags,\n"
                                  "ohne den Ton neu zu kodieren.\n"
                                  "\n"
                                  "Befehle:\n");
    for (const CliCommand &command : commands)
        for (const CliUsage &usage : command.usages)
            text += twoColumns(callLines(QStringLiteral("  "), command, usage), usage.help);
    text += QStringLiteral("\nOptionen:\n") + optionLines(programOptions);
    text += QStringLiteral("\nMehr zu einem Befehl: zindara-cli BEFEHL --help\n\n");
    return text + QString::fromUtf8(kExitCodes);
}

QString commandHelp(const CliCommand &command)
{
    QString text;
    for (const CliUsage &usage : command.usages) {
        const QString lead =
            text.isEmpty() ? QStringLiteral("Aufruf: zindara-cli ") : QStringLiteral("        zindara-cli ");
        text += callLines(lead, command, usage).join(u'\n') + u'\n';
    }
    text += u'\n' + command.summary + QStringLiteral("\n\nOptionen:\n");
    text += optionLines(command.options + QList<CliOption>{helpOption()});
    return text + u'\n' + QString::fromUtf8(kExitCodes);
}
