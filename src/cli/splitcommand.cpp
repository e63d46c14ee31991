#include "cli/commands.h"

#include "cutting/cutreporter.h"
#include "cutting/marklist.h"
#include "cutting/marksplit.h"
#include "cutting/mp3seconds.h"
#include "cutting/sizesplit.h"
#include "cutting/workingcopy.h"
#include "platform/mp3length.h"
#include "support/fileutils.h"
#include "support/formatting.h"

#include <QFile>
#include <QFileInfo>
#include <optional>

namespace {

const QString OeffnenFehlerText = QStringLiteral("Fehler beim Öffnen der Datei!");

// The memo goes to standard output line by line as it grows; error boxes go to standard error.
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

// Keeps the one message a mark check gives, so a refusal can go to standard error.
class TMarkenReporter : public TCutReporter {
public:
    TMeldungAntwort Meldung(const QString &text, TMeldungArt art, TMeldungKnoepfe knoepfe) override
    {
        letzte = text;
        return TCutReporter::Meldung(text, art, knoepfe);
    }
    QString letzte;
};

// The working copy lives only as long as the command.
struct TArbeitskopie {
    QString name;
    ~TArbeitskopie()
    {
        if (!name.isEmpty())
            QFile::remove(name);
    }
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

int fehler(CliStreams io, const QString &text)
{
    io.err << text << '\n';
    io.err.flush();
    return 1;
}

} // namespace

int runSplit(const QStringList &args, CliStreams io)
{
    QString datei;
    int modus = 0;
    std::optional<qint64> anzahl;
    std::optional<qint64> ueberlappung;
    std::vector<qint64> marken;

    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
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

    const QFileInfo info(datei);
    if (!info.isFile())
        return fehler(io, QStringLiteral("Die Datei \"%1\" gibt es nicht.").arg(datei));
    const QString oriFilename = info.absoluteFilePath();

    TArbeitskopie kopie;
    try {
        kopie.name = TempMp3Name();
    } catch (const EFileError &e) {
        return fehler(io, QString::fromStdString(e.what()));
    }
    if (!ArbeitskopieErstellen(oriFilename, kopie.name))
        return fehler(io, OeffnenFehlerText);
    const TTeilAuftrag auftrag{kopie.name, oriFilename, DateiGroesse(kopie.name)};
    TCliReporter reporter(io);

    if (modus == ModusMarken) {
        const qint64 laenge = Mp3LaengeMs(kopie.name);
        if (laenge < 0)
            return fehler(io, OeffnenFehlerText);
        if (laenge < 1000)
            return fehler(io, QStringLiteral("Datei hat weniger als 1 Sekunde dauer!"));
        QStringList liste;
        for (qint64 ms : marken) {
            TMarkenReporter pruefung;
            if (!MarkeSetzen(liste, ms, laenge, pruefung))
                return fehler(io, pruefung.letzte);
            io.out << pruefung.letzte << '\n';
        }
        return MarkenTeilenStarten(auftrag, laenge, liste, reporter).Fehler ? 1 : 0;
    }

    // Kilobytes without overlap need no duration, so the analysis is skipped there.
    const int vorspannSekunden = int(ueberlappung.value_or(0));
    const qint64 sekunden = modus == ModusBytes && vorspannSekunden == 0 ? 0 : Mp3SekundenMpi(kopie.name, [&kopie] {
        const qint64 ms = Mp3LaengeMs(kopie.name);
        return ms < 0 ? qint64(0) : ms / 1000;
    });
    const qint64 maxNr = MaxNr(modus, auftrag.Mp3Size, sekunden);
    if (maxNr <= 0)
        return fehler(io, ZuKleinText);
    const qint64 n = qBound<qint64>(1, *anzahl, maxNr);
    qint64 bytes = BytesProTeil(modus, n, auftrag.Mp3Size, sekunden);
    if (bytes <= 0)
        return fehler(io, ZuKleinText);
    bytes = TeilgroesseKorrigieren(auftrag.Mp3Size, bytes);
    const qint64 vorspann = VorspannBytes(vorspannSekunden, auftrag.Mp3Size, sekunden, bytes);
    return TeilenStarten(auftrag, modus, bytes, vorspann, reporter).Fehler ? 1 : 0;
}
