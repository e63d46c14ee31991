#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// One option of a command. An option with a value placeholder takes a value; one without is a flag.
struct CliOption {
    QString name;  // "--kb" or "-o"
    QString value; // the value's placeholder in the help ("N"); empty for a flag
    QString help;
    bool repeatable = false;
    QString alias = {}; // a short name beside the long one ("-h")

    bool takesValue() const { return !value.isEmpty(); }
    bool matches(const QString &word) const { return word == name || (!alias.isEmpty() && word == alias); }
};

// "-h, --help", which every command understands.
const CliOption &helpOption();

// The words after a command's name, read by the rules every command shares: "--" ends the
// options; "-" and words without a leading "-" are operands; a value follows its option as the
// next word or, for a long option, after "=" (`--kb 10`, `--kb=10`); an option with a value
// may be given once unless it is repeatable.
class CliArguments {
public:
    static CliArguments read(const QList<CliOption> &options, const QStringList &words);

    // The German message for the first fault; empty when the words are fine.
    const QString &error() const { return FError; }
    bool helpAsked() const { return FHelp; }

    bool has(const QString &option) const { return FValues.contains(option); }
    // The value of an option given once; empty when it was not given.
    QString value(const QString &option) const { return FValues.value(option).value(0); }
    // The values of a repeatable option in the order given.
    QStringList values(const QString &option) const { return FValues.value(option); }
    const QStringList &operands() const { return FOperands; }

private:
    QString FError;
    bool FHelp = false;
    QHash<QString, QStringList> FValues; // a flag holds one empty text per time it was given
    QStringList FOperands;
};
