#include "platform/drives.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace {

// Like a drive root: the volume is found from the nearest existing folder of the path.
QStorageInfo volumeOf(const QString &path)
{
    QString p = QFileInfo(QDir::current().absoluteFilePath(path)).absoluteFilePath();
    while (!QFileInfo::exists(p)) {
        const QString parent = QFileInfo(p).absolutePath();
        if (parent == p)
            break;
        p = parent;
    }
    return QStorageInfo(p);
}

} // namespace

bool LaufwerkBereit(const QString &path)
{
    const QStorageInfo volume = volumeOf(path);
    return volume.isValid() && volume.isReady();
}

QString LaufwerkName(const QString &path)
{
    const QStorageInfo volume = volumeOf(path);
    return volume.isValid() ? volume.name() : QString();
}
