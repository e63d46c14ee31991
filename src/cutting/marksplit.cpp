#include "cutting/marksplit.h"

#include "cutting/sizesplit.h"

#include <cmath>

std::vector<qint64> MarkenTeilBytes(qint64 S, qint64 laengeMs, const QStringList &marken)
{
    std::vector<qint64> bytes;
    if (laengeMs <= 0)
        return bytes;
    const long double proMs = static_cast<long double>(S) / laengeMs;
    qint64 vorige = 0;
    for (const QString &m : marken) {
        const qint64 ms = m.toLongLong();
        const long double anteil = std::trunc(proMs * (ms - vorige));
        // Never more than the whole copy, so the count cannot overflow.
        bytes.push_back(anteil < S ? static_cast<qint64>(anteil) + 1 : S + 1);
        vorige = ms;
    }
    return bytes;
}

TTeilErgebnis MarkenTeilenStarten(const TTeilAuftrag &auftrag, qint64 laengeMs, const QStringList &marken,
                                  TCutReporter &reporter)
{
    reporter.MemoZuruecksetzen();
    reporter.MemoText(ModusText(ModusMarken));
    reporter.MemoText(QStringLiteral("Marken gesetzt: %1").arg(marken.size()));
    if (laengeMs <= 0) {
        // Without a length no mark can be turned into a byte position.
        reporter.Meldung(TeilungsFehlerText, TMeldungArt::Fehler);
        reporter.MemoText(QStringLiteral("0 Dateien erstellt."));
        return {{}, true};
    }
    const std::vector<qint64> bytes = MarkenTeilBytes(auftrag.Mp3Size, laengeMs, marken);
    const qint64 rest = auftrag.Mp3Size;
    return TeileSchreiben(
        auftrag, [&bytes, rest](int k) { return k <= int(bytes.size()) ? bytes[k - 1] : rest; }, 0, reporter);
}
