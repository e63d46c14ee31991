#include "cutting/splitter.h"

#include "support/bytecopy.h"
#include "cutting/piecenames.h"

#include <QFile>
#include <memory>

TTeilErgebnis TeileSchreiben(const TTeilAuftrag &auftrag, const std::function<qint64(int)> &teilBytes,
                             qint64 vorspann, TCutReporter &reporter)
{
    TTeilErgebnis e;
    TByteCopy kopierer;
    QFile ein(auftrag.TmpFilename);
    std::unique_ptr<QFile> teil;
    int nr = 0;

    auto teilBeginnen = [&]() {
        if (teil)
            teil->close();
        const QString name = NeueDatei(auftrag.OriFilename, ++nr);
        reporter.MemoText(QStringLiteral("Teile in \"%1\"...").arg(name));
        reporter.NachrichtenVerarbeiten();
        DateiattributeLoeschen(name);
        teil = std::make_unique<QFile>(name);
        if (!teil->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
            return false;
        e.SplitDateien << name;
        return true;
    };

    const qint64 S = auftrag.Mp3Size;
    const qint64 anfang = auftrag.Anfang;
    bool ok = ein.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    if (ok)
        TByteCopy::FortlaufendLesen(ein);
    ok = ok && (anfang == 0 || ein.seek(anfang));
    ok = ok && teilBeginnen();
    qint64 gelesen = 0;
    while (ok && gelesen < S) {
        // At least one byte per piece, or a bad count would make pieces without end.
        const qint64 soll = qMin(qMax<qint64>(1, teilBytes(nr)), S - gelesen);
        const TKopierErgebnis r = kopierer.Kopieren(ein, *teil, soll);
        gelesen += r.gelesen;
        if (!r.vollstaendig(soll)) {
            ok = false;
            break;
        }
        if (gelesen >= S)
            break;
        if (!teilBeginnen()) {
            ok = false;
            break;
        }
        if (vorspann > 0) {
            const qint64 v = qMin(vorspann, gelesen);
            ok = ein.seek(anfang + gelesen - v) && kopierer.Kopieren(ein, *teil, v).vollstaendig(v)
                 && ein.pos() == anfang + gelesen;
        }
    }
    if (teil)
        teil->close();
    return TeilenAbschliessen(e, ok, reporter);
}

TTeilErgebnis TeilenAbschliessen(TTeilErgebnis &e, bool ok, TCutReporter &reporter)
{
    if (!ok) {
        e.Fehler = true;
        reporter.Meldung(TeilungsFehlerText, TMeldungArt::Fehler);
    }
    const qsizetype n = e.SplitDateien.size();
    reporter.MemoText(n == 1 ? QStringLiteral("1 Datei erstellt.") : QStringLiteral("%1 Dateien erstellt.").arg(n));
    return e;
}
