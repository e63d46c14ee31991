#include "cutting/markrows.h"

#include "cutting/cutreporter.h"
#include "support/formatting.h"

#include <cmath>

namespace
{

struct Grenzen {
    QString start;
    QString ende;
};

Grenzen grenzen(const TMarkenZeile &zeile)
{
    const QStringList w = zeile.Position.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return {w.value(0), w.value(2)};
}

QString position(const QString &start, const QString &ende)
{
    return QStringLiteral("%1 - %2").arg(start, ende);
}

} // namespace

void MarkRows::MarkenZuweisen(bool AnfangS)
{
    if (!AnfangS) {
        Marken.clear();
        for (int i = 0; i + 1 < FZeilen.size(); ++i)
            Marken.append(grenzen(FZeilen[i]).ende);
        return;
    }
    FZeilen.clear();
    AktuelleZeile = -1;
    if (Marken.isEmpty())
        return;
    const int n = Marken.size();
    for (int i = 0; i <= n; ++i) {
        TMarkenZeile z;
        z.Nummer = QStringLiteral("%1.").arg(i + 1);
        const QString start = i == 0 ? ZeitText(1, 3) : ZeitText(ZeitTextMs(Marken[i - 1]) + 1, 3);
        const QString ende = i < n ? Marken[i] : ZeitText(MaxLength, 3);
        z.Position = position(start, ende);
        FZeilen.append(z);
    }
    AktuelleZeile = 0;
}

void MarkRows::MarkenBytesErmitteln(int ATag)
{
    TmpMarken.clear();
    TmpMp3Dauer = 0;
    // Without a known length no byte can be placed; an empty result lets callers refuse.
    if (FZeilen.isEmpty() || MaxLength <= 0)
        return;

    QList<int> auswahl;
    if (ATag == 1 || ATag == 2) {
        if (AktuelleZeile >= 0 && AktuelleZeile < FZeilen.size())
            auswahl.append(AktuelleZeile);
    } else {
        for (int i = 0; i < FZeilen.size(); ++i)
            if (FZeilen[i].Angehakt)
                auswahl.append(i);
    }

    const long double q = static_cast<long double>(MaxSize) / static_cast<long double>(MaxLength);
    const QString endeText = ZeitText(MaxLength, 3);
    for (int i : auswahl) {
        const Grenzen g = grenzen(FZeilen[i]);
        qint64 s = ZeitTextMs(g.start) - 1;
        const qint64 e = ZeitTextMs(g.ende);
        if (ATag == 2 && e - 2000 >= s)
            s = e - 2000;
        TmpMp3Dauer += e - s;
        const qint64 start = s == 0 ? 0 : static_cast<qint64>(std::trunc(s * q)) + 1;
        const qint64 anzahl = g.ende == endeText ? MaxSize - start : static_cast<qint64>(std::trunc(e * q)) - start + 1;
        TmpMarken.append(QStringLiteral("%1 %2").arg(start).arg(anzahl));
    }
}

bool MarkRows::MarkeVerschieben(int TagNr)
{
    if (AktuelleZeile < 0 || AktuelleZeile >= FZeilen.size())
        return true;
    QString nummer = FZeilen[AktuelleZeile].Nummer;
    nummer.chop(1);
    const int n = nummer.toInt();
    if (n >= FZeilen.size())
        return false;

    const Grenzen aktuell = grenzen(FZeilen[AktuelleZeile]);
    const Grenzen naechste = grenzen(FZeilen[n]);
    const qint64 start = ZeitTextMs(aktuell.start);
    const qint64 ende = ZeitTextMs(aktuell.ende);
    const qint64 naechstesEnde = ZeitTextMs(naechste.ende);

    static constexpr qint64 schritte[] = {-10, 10, -100, 100};
    if (TagNr < 0 || TagNr > 3)
        return false;
    const qint64 neu = ende + schritte[TagNr];
    const bool erlaubt = schritte[TagNr] < 0 ? start < neu : neu < naechstesEnde;
    if (!erlaubt)
        return false;
    FZeilen[AktuelleZeile].Position = position(aktuell.start, ZeitText(neu, 3));
    FZeilen[n].Position = position(ZeitText(neu + 1, 3), naechste.ende);
    return true;
}

bool MarkRows::EintragLoeschen(bool CheckBoxS, TCutReporter &report)
{
    if (AktuelleZeile < 0 || AktuelleZeile >= FZeilen.size())
        return false;
    const QString frage = CheckBoxS ? QStringLiteral("Angehakte Einträge aus der Liste löschen?")
                                    : QStringLiteral("Markierten Eintrag aus der Liste löschen?");
    if (report.Meldung(frage, TMeldungArt::Bestaetigung, TMeldungKnoepfe::JaNein) != TMeldungAntwort::Ja)
        return false;
    ZeilenLoeschen(CheckBoxS);
    return true;
}

void MarkRows::ZeilenLoeschen(bool CheckBoxS)
{
    if (AktuelleZeile < 0 || AktuelleZeile >= FZeilen.size())
        return;
    if (CheckBoxS) {
        for (int i = FZeilen.size() - 1; i >= 0; --i)
            if (FZeilen[i].Angehakt)
                FZeilen.removeAt(i);
    } else {
        FZeilen.removeAt(AktuelleZeile);
    }
    MarkenZuweisen(false);
    MarkenZuweisen(true);
}

void MarkRows::AlleAnhaken(bool AnhakenS)
{
    for (TMarkenZeile &z : FZeilen)
        z.Angehakt = AnhakenS;
}

bool MarkRows::EtwasAngehakt() const
{
    for (const TMarkenZeile &z : FZeilen)
        if (z.Angehakt)
            return true;
    return false;
}

bool MarkRows::AlleAngehakt(bool AlleS) const
{
    for (const TMarkenZeile &z : FZeilen)
        if (z.Angehakt != AlleS)
            return false;
    return true;
}

bool MarkRows::Button1Aktiv() const
{
    return OkS || !Marken.isEmpty();
}

void MarkRows::SetAngehakt(int zeile, bool angehakt)
{
    if (zeile >= 0 && zeile < FZeilen.size())
        FZeilen[zeile].Angehakt = angehakt;
}

QList<TByteBereich> MarkRows::Bereiche() const
{
    QList<TByteBereich> result;
    for (const QString &eintrag : TmpMarken) {
        const QStringList w = eintrag.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        result.append({w.value(0).toLongLong(), w.value(1).toLongLong()});
    }
    return result;
}
