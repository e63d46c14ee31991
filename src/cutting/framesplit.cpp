#include "cutting/framesplit.h"

#include "audio/frameindex.h"
#include "audio/headerframe.h"
#include "cutting/piecenames.h"
#include "cutting/sizesplit.h"
#include "support/bytecopy.h"
#include "support/formatting.h"

#include <QFile>
#include <memory>

bool KopfFrameNoetig(const TFrameIndex &index)
{
    return index.Layer() == 3 && (index.Kopf().Vorhanden || index.Vbr());
}

std::vector<TFrameStrecke> ZeitStrecken(const TFrameIndex &index, qint64 proTeil, qint64 vorspann)
{
    std::vector<TFrameStrecke> s;
    const qint64 N = index.Frames();
    if (proTeil <= 0 || N <= 0)
        return s;
    const qint64 F = qMax<qint64>(1, TeilgroesseKorrigieren(N, proTeil));
    vorspann = qBound<qint64>(0, vorspann, F);
    for (qint64 neu = 0; neu < N; neu += F) {
        const qint64 erster = qMax<qint64>(0, neu - vorspann);
        s.push_back({erster, qMin(N, neu + F) - erster});
    }
    return s;
}

std::vector<TFrameStrecke> MarkenStrecken(const TFrameIndex &index, const QStringList &marken)
{
    std::vector<TFrameStrecke> s;
    qint64 vorige = 0;
    for (const QString &m : marken) {
        const qint64 f = qMax(vorige, index.FrameBeiMs(m.toLongLong()));
        s.push_back({vorige, f - vorige});
        vorige = f;
    }
    s.push_back({vorige, index.Frames() - vorige});
    return s;
}

std::vector<TFrameStrecke> GroessenStrecken(const TFrameIndex &index, QIODevice &geraet, qint64 bytes, qint64 vorspann)
{
    std::vector<TFrameStrecke> s;
    const qint64 N = index.Frames();
    if (bytes <= 0 || N <= 0)
        return s;
    const bool kopf = KopfFrameNoetig(index);
    const qint64 kopfBytes = kopf ? KopfFrameLaenge(index.Vorlage(), index.Kopf().Lame) : 0;
    qint64 neu = 0;
    while (neu < N) {
        const qint64 erster = s.empty() ? 0 : qMax<qint64>(0, neu - vorspann);
        qint64 start = s.empty() && !kopf ? 0 : index.FrameStart(geraet, erster);
        if (start < 0)
            return {};
        const qint64 grenze = start + bytes - kopfBytes;
        qint64 ende = grenze >= index.Ende() ? N : index.FrameVor(geraet, grenze);
        // At least one new frame, or a tiny size would make pieces without end.
        ende = qMax(ende, neu + 1);
        s.push_back({erster, ende - erster});
        neu = ende;
    }
    return s;
}

namespace {

std::array<quint8, 100> toc(const TFrameIndex &index, qint64 erster, qint64 frames, qint64 kopf, qint64 gesamt)
{
    std::array<quint8, 100> t{};
    const qint64 a = index.UngefaehrerStart(erster);
    for (int i = 0; i < 100; ++i) {
        const qint64 stelle = kopf + qMax<qint64>(0, index.UngefaehrerStart(erster + frames * i / 100) - a);
        t[size_t(i)] = quint8(qMin<qint64>(255, stelle * 256 / qMax<qint64>(1, gesamt)));
    }
    return t;
}

} // namespace

TTeilErgebnis StreckenSchreiben(const TTeilAuftrag &auftrag, const TFrameIndex &index,
                                const std::vector<TFrameStrecke> &strecken, TCutReporter &reporter)
{
    TTeilErgebnis e;
    TByteCopy kopierer;
    QFile ein(auftrag.TmpFilename);
    bool ok = ein.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    if (ok)
        TByteCopy::FortlaufendLesen(ein);
    const bool kopf = KopfFrameNoetig(index);
    const qint64 letzter = qint64(strecken.size()) - 1;
    for (qint64 k = 0; ok && k <= letzter; ++k) {
        const TFrameStrecke &s = strecken[size_t(k)];
        const qint64 start = k == 0 && !kopf ? 0 : index.FrameStart(ein, s.ErsterFrame);
        const qint64 ende = k == letzter ? auftrag.Mp3Size : index.FrameStart(ein, s.ErsterFrame + s.Frames);
        if (start < 0 || ende < start) {
            ok = false;
            break;
        }
        const QString name = NeueDatei(auftrag.OriFilename, int(k + 1));
        reporter.MemoText(QStringLiteral("Teile in \"%1\"...").arg(name));
        reporter.NachrichtenVerarbeiten();
        DateiattributeLoeschen(name);
        QFile teil(name);
        if (!teil.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
            ok = false;
            break;
        }
        e.SplitDateien << name;
        if (kopf) {
            TKopfInhalt inhalt;
            inhalt.Frames = s.Frames;
            inhalt.AudioBytes = ende - start;
            inhalt.Erstes = s.ErsterFrame == 0;
            inhalt.Letztes = k == letzter;
            const qint64 laenge = KopfFrameLaenge(index.Vorlage(), index.Kopf().Lame);
            inhalt.Toc = toc(index, s.ErsterFrame, s.Frames, laenge, laenge + inhalt.AudioBytes);
            const QByteArray f = KopfFrameBauen(index.Vorlage(), index.Kopf(), index.Vbr(), inhalt);
            ok = !f.isEmpty() && teil.write(f) == f.size();
        }
        ok = ok && ein.seek(auftrag.Anfang + start) &&
             kopierer.Kopieren(ein, teil, ende - start).vollstaendig(ende - start);
        teil.close();
    }
    return TeilenAbschliessen(e, ok, reporter);
}

TTeilErgebnis FrameTeilenStarten(const TTeilAuftrag &auftrag, const TFrameIndex &index, int modus, qint64 n,
                                 int vorspannSekunden, TCutReporter &reporter)
{
    const qint64 sekunden = index.LaengeMs() / 1000;
    const TTeilPlan plan = TeilPlanPruefen(modus, n, vorspannSekunden, auftrag.Mp3Size, sekunden, reporter);
    if (plan.Bytes <= 0)
        return {{}, true};
    const qint64 vorspann = index.FramesFuerMs(qint64(qBound(0, vorspannSekunden, 9)) * 1000);
    std::vector<TFrameStrecke> strecken;
    if (modus == ModusBytes) {
        QFile ein(auftrag.TmpFilename);
        if (ein.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            strecken = GroessenStrecken(index, ein, plan.Bytes, vorspann);
    } else {
        const qint64 anzahl = qBound<qint64>(1, n, MaxNr(modus, auftrag.Mp3Size, sekunden));
        strecken = ZeitStrecken(index, index.FramesFuerMs(anzahl * (modus == ModusMinuten ? 60000 : 1000)), vorspann);
    }
    reporter.MemoZuruecksetzen();
    reporter.MemoText(ModusText(modus));
    reporter.MemoText(QStringLiteral("Bytes pro Datei: %1").arg(Tausenderpunkte(plan.Bytes)));
    if (strecken.empty()) {
        reporter.Meldung(TeilungsFehlerText, TMeldungArt::Fehler);
        return {{}, true};
    }
    return StreckenSchreiben(auftrag, index, strecken, reporter);
}

TTeilErgebnis MarkenFrameTeilenStarten(const TTeilAuftrag &auftrag, const TFrameIndex &index,
                                       const QStringList &marken, TCutReporter &reporter)
{
    reporter.MemoZuruecksetzen();
    reporter.MemoText(ModusText(ModusMarken));
    reporter.MemoText(QStringLiteral("Marken gesetzt: %1").arg(marken.size()));
    return StreckenSchreiben(auftrag, index, MarkenStrecken(index, marken), reporter);
}
