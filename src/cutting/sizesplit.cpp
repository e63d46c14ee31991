#include "cutting/sizesplit.h"

#include "support/formatting.h"

#include <cmath>

QString ModusWort(int modus)
{
    switch (modus) {
    case ModusBytes:
        return QStringLiteral("Bytes");
    case ModusMinuten:
        return QStringLiteral("Minuten");
    case ModusSekunden:
        return QStringLiteral("Sekunden");
    default:
        return QStringLiteral("Marken");
    }
}

QString ModusText(int modus)
{
    return QStringLiteral("Modus: %1").arg(ModusWort(modus));
}

qint64 MaxNr(int modus, qint64 mp3Size, qint64 sekundenMpi)
{
    switch (modus) {
    case ModusBytes:
        return mp3Size / 1024;
    case ModusMinuten:
        return sekundenMpi / 60;
    case ModusSekunden:
        return sekundenMpi;
    default:
        return 0;
    }
}

qint64 BytesProTeil(int modus, qint64 n, qint64 mp3Size, qint64 sekundenMpi)
{
    if (n <= 0)
        return 0;
    if (modus == ModusBytes)
        return n * 1024;
    if (sekundenMpi <= 0 || (modus != ModusMinuten && modus != ModusSekunden))
        return 0;
    const long double proSekunde = static_cast<long double>(mp3Size) / sekundenMpi;
    const long double bytes = modus == ModusMinuten ? n * proSekunde * 60.0L : n * proSekunde;
    return static_cast<qint64>(std::trunc(bytes));
}

int RestProzent(qint64 S, qint64 p)
{
    if (p <= 0)
        return 0;
    const qint64 rest = S % p;
    if (rest == 0)
        return 0;
    // Whole numbers, so halves are recognised exactly.
    const qint64 mal100 = rest * 100;
    qint64 q = mal100 / p;
    const qint64 r2 = (mal100 % p) * 2;
    if (r2 > p || (r2 == p && (q % 2) == 1))
        ++q;
    return int(q);
}

qint64 TeilgroesseKorrigieren(qint64 S, qint64 p)
{
    if (p <= 0 || S <= 0)
        return p;
    const int r = RestProzent(S, p);
    if (r > 95)
        return p;
    if (r >= 16) {
        while (p > 1 && RestProzent(S, p) < 95)
            --p;
    } else {
        // Past S one piece holds everything; a tiny file would otherwise never reach 95 %.
        while (p <= S && RestProzent(S, p) < 95)
            ++p;
    }
    return p;
}

qint64 VorspannBytes(int sekunden, qint64 mp3Size, qint64 sekundenMpi, qint64 bytesProTeil)
{
    if (sekunden <= 0 || sekundenMpi <= 0)
        return 0;
    const long double v = std::trunc(sekunden * (static_cast<long double>(mp3Size) / sekundenMpi));
    if (v <= 0)
        return 0;
    if (v > bytesProTeil)
        return bytesProTeil;
    return static_cast<qint64>(v);
}

TTeilErgebnis TeilenStarten(const TTeilAuftrag &auftrag, int modus, qint64 bytes, qint64 vorspann,
                            TCutReporter &reporter)
{
    if (bytes <= 0)
        return {};
    reporter.MemoZuruecksetzen();
    reporter.MemoText(ModusText(modus));
    reporter.MemoText(QStringLiteral("Bytes pro Datei: %1").arg(Tausenderpunkte(bytes)));
    return TeileSchreiben(auftrag, [bytes](int) { return bytes; }, qMax<qint64>(0, qMin(vorspann, bytes)), reporter);
}

TTeilPlan TeilPlanen(int modus, qint64 n, int vorspannSekunden, qint64 mp3Size, qint64 sekundenMpi)
{
    const qint64 roh = BytesProTeil(modus, qBound<qint64>(1, n, MaxNr(modus, mp3Size, sekundenMpi)), mp3Size,
                                    sekundenMpi);
    if (roh <= 0)
        return {};
    const qint64 bytes = TeilgroesseKorrigieren(mp3Size, roh);
    return {bytes, VorspannBytes(vorspannSekunden, mp3Size, sekundenMpi, bytes)};
}

qint64 TeilGrenzePruefen(int modus, qint64 mp3Size, qint64 sekundenMpi, TCutReporter &reporter)
{
    const qint64 grenze = MaxNr(modus, mp3Size, sekundenMpi);
    if (grenze <= 0)
        reporter.Meldung(ZuKleinText, TMeldungArt::Information);
    return grenze;
}

TTeilPlan TeilPlanPruefen(int modus, qint64 n, int vorspannSekunden, qint64 mp3Size, qint64 sekundenMpi,
                          TCutReporter &reporter)
{
    if (TeilGrenzePruefen(modus, mp3Size, sekundenMpi, reporter) <= 0)
        return {};
    const TTeilPlan plan = TeilPlanen(modus, n, vorspannSekunden, mp3Size, sekundenMpi);
    // Less than one byte per piece: as small as a file without a single unit.
    if (plan.Bytes <= 0)
        reporter.Meldung(ZuKleinText, TMeldungArt::Information);
    return plan;
}

TTeilErgebnis ModusTeilenStarten(const TTeilAuftrag &auftrag, int modus, qint64 n, int vorspannSekunden,
                                 qint64 sekundenMpi, TCutReporter &reporter)
{
    const TTeilPlan plan = TeilPlanPruefen(modus, n, vorspannSekunden, auftrag.Mp3Size, sekundenMpi, reporter);
    if (plan.Bytes <= 0)
        return {{}, true};
    return TeilenStarten(auftrag, modus, plan.Bytes, plan.Vorspann, reporter);
}
