#include "support/savewhole.h"

#include <QFile>
#include <QSaveFile>

bool GanzSpeichern(const QString &datei, const QByteArray &bytes, QFileDevice::Permissions rechte)
{
    QSaveFile file(datei);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (rechte)
        file.setPermissions(rechte);
    // commit() misses a short write (disk full), so the flush is checked before the old file
    // is replaced.
    if (file.write(bytes) != bytes.size() || !file.flush())
        return false;
    if (!file.commit())
        return false;
    if (rechte)
        QFile::setPermissions(datei, rechte);
    return true;
}
