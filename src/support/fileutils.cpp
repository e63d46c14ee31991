#include "support/fileutils.h"

#include "support/tempowner.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

EFileError::EFileError(const QString &message) : std::runtime_error(message.toStdString()) {}

qint64 DateiGroesse(const QString &name)
{
    if (name.isEmpty())
        return -1;
    const QFileInfo info(QDir::current().absoluteFilePath(name));
    if (!info.exists())
        return -1;
    return info.size();
}

QString TempOrdner()
{
    QString path = QDir::tempPath();
    if (path.isEmpty()) {
        // Qt gives nothing when TMPDIR names a missing folder; keep that folder, so creating
        // files there fails visibly instead of landing in "/".
        path = qEnvironmentVariable("TMPDIR");
        if (path.isEmpty())
            path = QStringLiteral("/tmp");
    }
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}

static QString tempName(const QString &prefix, quint32 number)
{
    return TempOrdner() + prefix.left(3) + QString::number(number, 16).toUpper() + QStringLiteral(".tmp");
}

QString TempDateiName(const QString &prefix, quint32 unique)
{
    if (unique != 0)
        return tempName(prefix, unique & 0xFFFF);
    // Like the system service: start at a time-based number and take the first free name.
    const quint32 start = quint32(QDateTime::currentMSecsSinceEpoch()) & 0xFFFF;
    for (quint32 i = 0; i < 0x10000; ++i) {
        quint32 n = (start + i) & 0xFFFF;
        if (n == 0)
            continue;
        const QString name = tempName(prefix, n);
        QFile f(name);
        if (f.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return name;
        if (!QFileInfo::exists(name))
            return QString(); // the folder cannot be written
    }
    return QString();
}

QString TempMp3Name()
{
    const QString folder = TempOrdner();
    for (int n = 1; n <= 65535; ++n) {
        const QString name = folder + QStringLiteral("TmpZinS%1.mp3").arg(n);
        // Reserve atomically, so two copies of the program never share a working copy.
        if (TempDateiReservieren(name, n == 65535))
            return name;
        if (errno == EEXIST)
            continue;
        throw EFileError(QStringLiteral("Die temporäre Datei %1 kann nicht angelegt werden: %2")
                             .arg(QDir::toNativeSeparators(name), QString::fromLocal8Bit(std::strerror(errno))));
    }
    return QString(); // not reached
}
