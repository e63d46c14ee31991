#pragma once

#include <QList>
#include <QString>

struct CliCommand;
struct CliOption;

// The help texts, made from the command list.
QString programHelp(const QList<CliCommand> &commands, const QList<CliOption> &programOptions);
QString commandHelp(const CliCommand &command);
