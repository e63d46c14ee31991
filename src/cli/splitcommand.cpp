#include "cli/commands.h"

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

} // namespace

int runSplit(const QStringList &args, CliStreams io)
{
    QString datei;
    int modus = 0;
    std::optional<qint64> anzahl;
    std::optional<qint64> ueberlappung;
    QList<qint64> marken;
    bool byteSchnitt = false;

    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--byte-cut")) {
            byteSchnitt = true;
            continue;
        }
        if (!a.startsWith(QLatin1String("--"))) {
            if (!datei.isEmpty())
                return usageError(io, QStringLiteral("split teilt genau eine Datei."));
            datei = a;
            continue;
        }
        if (i + 1 >= args.size())
            return usageError(io, QStringLiteral("Zu %1 fehlt der Wert.").arg(a));
        const QString wert = args[++i];
        if (a == QLatin1String("--kb") || a == QLatin1String("--minutes") || a == QLatin1String("--seconds")) {
            if (modus != 0)
                return usageError(io, QStringLiteral("Nur eine Art zu teilen ist möglich (--kb, --minutes, --seconds oder --mark)."));
            modus = a == QLatin1String("--kb") ? ModusBytes : a == QLatin1String("--minutes") ? ModusMinuten : ModusSekunden;
            anzahl = zahl(wert);
            if (!anzahl)
                return usageError(io, QStringLiteral("Zu %1 gehört eine ganze Zahl, nicht \"%2\".").arg(a, wert));
        } else if (a == QLatin1String("--overlap")) {
            ueberlappung = zahl(wert);
            if (!ueberlappung || *ueberlappung > 9)
                return usageError(io, QStringLiteral("Die Überlappung ist eine Zahl von 0 bis 9 Sekunden, nicht \"%1\".").arg(wert));
        } else if (a == QLatin1String("--mark")) {
            if (modus != 0 && modus != ModusMarken)
                return usageError(io, QStringLiteral("Nur eine Art zu teilen ist möglich (--kb, --minutes, --seconds oder --mark)."));
            modus = ModusMarken;
            const std::optional<qint64> ms = markeLesen(wert);
            if (!ms)
                return usageError(io, QStringLiteral("Die Marke \"%1\" ist weder H:MM:SS,mmm noch eine Zahl von Millisekunden.").arg(wert));
            marken.push_back(*ms);
        } else {
            return usageError(io, QStringLiteral("Unbekannte Option %1.").arg(a));
        }
    }
    if (datei.isEmpty())
        return usageError(io, QStringLiteral("Es wurde keine Datei angegeben."));
    if (modus == 0)
        return usageError(io, QStringLiteral("Es fehlt, wie geteilt wird: --kb, --minutes, --seconds oder --mark."));
    if (modus == ModusMarken && ueberlappung)
        return usageError(io, QStringLiteral("Beim Teilen an Marken gibt es keine Überlappung."));

    TCliReporter reporter(io);
    const TTeilErgebnis e = DateiTeilen(datei, {modus, anzahl.value_or(0), int(ueberlappung.value_or(0)), marken, byteSchnitt},
                                        [](const QString &f, qint64 anfang, qint64 anzahl) { return Mp3LaengeMs(f, anfang, anzahl); }, reporter);
    return e.Fehler ? 1 : 0;
}
