#include "cutting/workingcopy.h"

#include "cutting/tagextents.h"

#include <QFile>
#include <QFileInfo>

bool ArbeitskopieErstellen(const QString &quelle, const QString &ziel)
{
    TByteCopy kopierer;
    return ArbeitskopieErstellen(quelle, ziel, kopierer);
}

bool ArbeitskopieErstellen(const QString &quelle, const QString &ziel, TByteCopy &kopierer)
{
    QFile ein(quelle);
    if (!ein.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return false;
    // Truncating the target would empty the very file being opened.
    const QFileInfo zielInfo(ziel);
    if (zielInfo.exists() && zielInfo.canonicalFilePath() == QFileInfo(quelle).canonicalFilePath())
        return false;
    QFile aus(ziel);
    if (!aus.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return false;
    TByteCopy::FortlaufendLesen(ein);
    const TTagUmfang tags = TagUmfangLesen(ein);
    const qint64 anzahl = ein.size() - tags.ID3v2 - tags.ID3v1;
    if (anzahl <= 0)
        return true;
    if (!ein.seek(tags.ID3v2))
        return false;
    return kopierer.Kopieren(ein, aus, anzahl).vollstaendig(anzahl);
}
