#include "cutting/workingcopy.h"

#include "cutting/tagextents.h"

#include <QFile>
#include <QFileInfo>

bool ArbeitskopieErstellen(const QString &quelle, const QString &ziel)
{
    TByteCopy kopierer;
    return ArbeitskopieErstellen(quelle, ziel, kopierer);
}

bool ArbeitskopieErstellen(const QString &quelle, const QString &ziel, TByteCopy &kopierer,
                           const std::function<void(qint64 anfang, qint64 anzahl)> &vorDerKopie)
{
    QFile ein(quelle);
    if (!ein.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return false;
    // Removing the target would delete the very file being opened.
    const QFileInfo zielInfo(ziel);
    if (zielInfo.exists() && zielInfo.canonicalFilePath() == QFileInfo(quelle).canonicalFilePath())
        return false;
    // A file emptied by truncation is written back whole when it is closed (ext4 protects
    // replaced contents so); a fresh one is not. Exclusive, so a name taken meanwhile is not
    // shared. Only a plain file is removed: anything else is written into as before.
    QFile aus(ziel);
    const bool neu = !zielInfo.exists() || (zielInfo.isFile() && !zielInfo.isSymLink());
    if (neu && zielInfo.exists() && !aus.remove())
        return false;
    const QIODevice::OpenMode art = neu ? QIODevice::NewOnly : QIODevice::Truncate;
    if (!aus.open(QIODevice::WriteOnly | art | QIODevice::Unbuffered))
        return false;
    TByteCopy::FortlaufendLesen(ein);
    const TTagUmfang tags = TagUmfangLesen(ein);
    const qint64 anzahl = ein.size() - tags.ID3v2 - tags.ID3v1;
    if (anzahl <= 0)
        return true;
    if (!ein.seek(tags.ID3v2))
        return false;
    if (vorDerKopie)
        vorDerKopie(tags.ID3v2, anzahl);
    return kopierer.Kopieren(ein, aus, anzahl).vollstaendig(anzahl);
}
