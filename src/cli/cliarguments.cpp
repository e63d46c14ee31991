#include "cli/cliarguments.h"

#include <optional>

const CliOption &helpOption()
{
    static const CliOption option{
        QStringLiteral("--help"), {}, QStringLiteral("diese Hilfe zeigen"), false, QStringLiteral("-h")};
    return option;
}

CliArguments CliArguments::read(const QList<CliOption> &options, const QStringList &words)
{
    CliArguments result;
    auto fail = [&result](const QString &message) {
        result.FError = message;
        return result;
    };
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString &word = words[i];
        if (word == QLatin1String("--")) {
            result.FOperands += words.mid(i + 1);
            break;
        }
        if (word == QLatin1String("-") || !word.startsWith(QLatin1Char('-'))) {
            result.FOperands << word;
            continue;
        }
        QString name = word;
        std::optional<QString> value;
        if (const qsizetype eq = word.indexOf(QLatin1Char('=')); word.startsWith(QLatin1String("--")) && eq > 2) {
            name = word.left(eq);
            value = word.mid(eq + 1);
        }
        const CliOption *option = helpOption().matches(name) ? &helpOption() : nullptr;
        for (const CliOption &o : options)
            if (!option && o.matches(name))
                option = &o;
        if (!option)
            return fail(QStringLiteral("Unbekannte Option \"%1\".").arg(name));
        if (!option->takesValue() && value)
            return fail(QStringLiteral("Zu \"%1\" gehört kein Wert.").arg(name));
        if (option == &helpOption()) {
            result.FHelp = true;
            return result;
        }
        if (option->takesValue() && !value) {
            if (i + 1 >= words.size())
                return fail(QStringLiteral("Nach \"%1\" fehlt der Wert.").arg(name));
            value = words[++i];
        }
        QStringList &given = result.FValues[option->name];
        if (!given.isEmpty() && option->takesValue() && !option->repeatable)
            return fail(QStringLiteral("Die Option \"%1\" ist doppelt angegeben.").arg(name));
        given << value.value_or(QString());
    }
    return result;
}
