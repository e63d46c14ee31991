#include "cutting/marklist.h"

#include "support/formatting.h"

#include <algorithm>

static qint64 markeMs(const QString &eintrag)
{
    bool ok = false;
    const qint64 ms = eintrag.toLongLong(&ok);
    if (!ok)
        throw EConvertError(QStringLiteral("\"%1\" ist keine gültige Marke.").arg(eintrag));
    return ms;
}

bool MarkeSetzen(QStringList &marken, qint64 position, qint64 laenge, TCutReporter &reporter)
{
    auto info = [&reporter](const QString &text) { reporter.Meldung(text, TMeldungArt::Information); };
    // The player never reports more than its length; a position given by hand can.
    if (position <= 0 || position >= laenge) {
        info(QStringLiteral("Am Anfang/Ende darf keine Marke gesetzt werden!"));
        return false;
    }
    std::vector<qint64> ms;
    ms.reserve(marken.size());
    for (const QString &m : marken)
        ms.push_back(markeMs(m));
    if (std::find(ms.begin(), ms.end(), position) != ms.end()) {
        info(QStringLiteral("Marke bereits auf Position %1 gesetzt!").arg(ZeitText(position, 3)));
        return false;
    }
    if (std::any_of(ms.begin(), ms.end(), [position](qint64 m) { return qAbs(m - position) <= MarkenAbstand; })) {
        info(QStringLiteral("Es muss mindestens 0,0%1 Sekunden Platz gelassen werden!").arg(MarkenAbstand));
        return false;
    }
    const auto stelle = std::find_if(ms.begin(), ms.end(), [position](qint64 m) { return m > position; });
    marken.insert(stelle - ms.begin(), QString::number(position));
    info(QStringLiteral("Marke auf Position %1 gesetzt!").arg(ZeitText(position, 3)));
    return true;
}

void MarkenUmwandeln(QStringList &marken, bool StrPosS)
{
    for (QString &m : marken)
        m = StrPosS ? ZeitText(markeMs(m), 3) : QString::number(ZeitTextMs(m));
}
