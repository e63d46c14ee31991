#include "cli/commandlist.h"

#include "cutting/cutreporter.h"
#include "cutting/filesplit.h"
#include "cutting/sizesplit.h"
#include "decoder/mp3length.h"
#include "support/formatting.h"

#include <optional>

namespace {

// The memo and the messages that inform go to standard output line by line as they come;
// errors go to standard error.
class TCliReporter : public TCutReporter {
public:
    explicit TCliReporter(CliStreams io) : FIo(io) {}

    void MemoZuruecksetzen() override { MemoText(MemoKopfzeile); }
    void MemoText(const QString &line) override
    {
        FIo.out << line << '\n';
        FIo.out.flush();
    }
    TMeldungAntwort Meldung(const QString &text, TMeldungArt art, TMeldungKnoepfe knoepfe) override
    {
        QTextStream &s = art == TMeldungArt::Fehler ? FIo.err : FIo.out;
        s << text << '\n';
        s.flush();
        return TCutReporter::Meldung(text, art, knoepfe);
    }

private:
    CliStreams FIo;
};

std::optional<qint64> zahl(const QString &text)
{
    bool ok = false;
    const qint64 n = text.toLongLong(&ok);
    if (!ok || n < 0 || text.startsWith(QLatin1Char('+')))
        return std::nullopt;
    return n;
}

// A mark as H:MM:SS,mmm or as plain milliseconds.
std::optional<qint64> markeLesen(const QString &text)
{
    if (!text.contains(QLatin1Char(':')))
        return zahl(text);
    try {
        const qint64 ms = ZeitTextMs(text);
        if (ms < 0)
            return std::nullopt;
        return ms;
    } catch (const EConvertError &) {
        return std::nullopt;
    }
}

// The ways of splitting by size or time, with the mode each one asks for.
struct SizeOrTime {
    const char *option;
    int modus;
};
constexpr SizeOrTime kSizeOrTime[] = {{"--kb", ModusBytes}, {"--minutes", ModusMinuten}, {"--seconds", ModusSekunden}};

int runSplit(const CliArguments &args, CliStreams io)
{
    if (args.operands().size() > 1)
        return usageError(io, QStringLiteral("split teilt genau eine Datei."));
    int modus = 0;
    std::optional<qint64> anzahl;
    for (const SizeOrTime &art : kSizeOrTime) {
        const QString option = QLatin1String(art.option);
        if (!args.has(option))
            continue;
        if (modus != 0)
            return usageError(io, QStringLiteral("Nur eine Art zu teilen ist möglich (--kb, --minutes, --seconds oder --mark)."));
        modus = art.modus;
        anzahl = zahl(args.value(option));
        if (!anzahl)
            return usageError(io, QStringLiteral("Zu %1 gehört eine ganze Zahl, nicht \"%2\".").arg(option, args.value(option)));
    }
    std::optional<qint64> ueberlappung;
    if (args.has(QStringLiteral("--overlap"))) {
        const QString wert = args.value(QStringLiteral("--overlap"));
        ueberlappung = zahl(wert);
        if (!ueberlappung || *ueberlappung > 9)
            return usageError(io, QStringLiteral("Die Überlappung ist eine Zahl von 0 bis 9 Sekunden, nicht \"%1\".").arg(wert));
    }
    QList<qint64> marken;
    if (args.has(QStringLiteral("--mark"))) {
        if (modus != 0)
            return usageError(io, QStringLiteral("Nur eine Art zu teilen ist möglich (--kb, --minutes, --seconds oder --mark)."));
        modus = ModusMarken;
        for (const QString &wert : args.values(QStringLiteral("--mark"))) {
            const std::optional<qint64> ms = markeLesen(wert);
            if (!ms)
                return usageError(io, QStringLiteral("Die Marke \"%1\" ist weder H:MM:SS,mmm noch eine Zahl von Millisekunden.").arg(wert));
            marken.push_back(*ms);
        }
    }
    if (args.operands().isEmpty())
        return usageError(io, QStringLiteral("Es wurde keine Datei angegeben."));
    if (modus == 0)
        return usageError(io, QStringLiteral("Es fehlt, wie geteilt wird: --kb, --minutes, --seconds oder --mark."));
    if (modus == ModusMarken && ueberlappung)
        return usageError(io, QStringLiteral("Beim Teilen an Marken gibt es keine Überlappung."));

    const QString datei = args.operands().first();
    TCliReporter reporter(io);
    const bool byteSchnitt = args.has(QStringLiteral("--byte-cut"));
    const TTeilErgebnis e = DateiTeilen(datei, {modus, anzahl.value_or(0), int(ueberlappung.value_or(0)), marken, byteSchnitt},
                                        [](const QString &f, qint64 anfang, qint64 anzahl) { return Mp3LaengeMs(f, anfang, anzahl); }, reporter);
    return e.Fehler ? 1 : 0;
}

} // namespace

CliCommand splitCommand()
{
    return {
        QStringLiteral("split"),
        QStringLiteral("Datei in Teile fester Größe oder Dauer oder an Marken teilen."),
        {
            {{QStringLiteral("DATEI (--kb N | --minutes N | --seconds N) [--overlap S] [--byte-cut]")},
             QStringLiteral("Datei in Teile fester Größe oder Dauer teilen")},
            {{QStringLiteral("DATEI --mark M [--mark M ...] [--byte-cut]")},
             QStringLiteral("Datei an Marken teilen (H:MM:SS,mmm oder Millisekunden)")},
        },
        {
            {QStringLiteral("--kb"), QStringLiteral("N"), QStringLiteral("Teile von N Kilobytes")},
            {QStringLiteral("--minutes"), QStringLiteral("N"), QStringLiteral("Teile von N Minuten")},
            {QStringLiteral("--seconds"), QStringLiteral("N"), QStringLiteral("Teile von N Sekunden")},
            {QStringLiteral("--overlap"), QStringLiteral("S"), QStringLiteral("Überlappung der Teile, 0 bis 9 Sekunden")},
            {QStringLiteral("--mark"), QStringLiteral("M"), QStringLiteral("an der Marke M teilen (H:MM:SS,mmm oder Millisekunden), mehrfach möglich"), true},
            {QStringLiteral("--byte-cut"), {}, QStringLiteral("nach Bytes anteilig schneiden statt an Frame-Grenzen")},
        },
        runSplit,
    };
}
