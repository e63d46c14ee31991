#include "support/filereplace.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

QString prefixFor(const QFileInfo &ziel)
{
    return QLatin1Char('.') + ziel.fileName() + QStringLiteral(".zindara-");
}

QString tempName(const QFileInfo &ziel, int n)
{
    return ziel.absolutePath() + QLatin1Char('/') + prefixFor(ziel) + QString::number(::getpid()) + QLatin1Char('-') +
           QString::number(n) + QStringLiteral(".tmp");
}

} // namespace

TDateiErsatz::TDateiErsatz(const QString &ziel)
{
    // A symbolic link stays; the file it points to is replaced.
    const QFileInfo info(ziel);
    FZiel = info.isSymLink() ? info.canonicalFilePath() : info.absoluteFilePath();
}

TDateiErsatz::~TDateiErsatz()
{
    FDatei.close();
    if (!FUebernommen && !FName.isEmpty())
        ::unlink(QFile::encodeName(FName).constData());
}

void TDateiErsatz::StaleEntfernen() const
{
    const QFileInfo ziel(FZiel);
    const QString prefix = prefixFor(ziel);
    const QDir folder = ziel.dir();
    for (const QString &name : folder.entryList({prefix + QStringLiteral("*.tmp")}, QDir::Files | QDir::Hidden)) {
        bool ok = false;
        const qint64 pid = name.mid(prefix.size()).section(QLatin1Char('-'), 0, 0).toLongLong(&ok);
        if (ok && pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
            QFile::remove(folder.filePath(name));
    }
}

bool TDateiErsatz::Anlegen()
{
    const QByteArray ziel = QFile::encodeName(FZiel);
    if (::stat(ziel.constData(), &FAlt) != 0 || !S_ISREG(FAlt.st_mode) || FAlt.st_nlink > 1)
        return false;
    StaleEntfernen();
    const QFileInfo info(FZiel);
    const QByteArray folder = QFile::encodeName(info.absolutePath());
    int fd = ::open(folder.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0) {
        // File systems without unnamed files get a named one.
        for (int n = 0; n < 100 && fd < 0; ++n) {
            FName = tempName(info, n);
            fd = ::open(QFile::encodeName(FName).constData(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0600);
            if (fd < 0 && errno != EEXIST)
                break;
        }
        if (fd < 0) {
            FName.clear();
            return false;
        }
    }
    if (!FDatei.open(fd, QIODevice::ReadWrite | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

void TDateiErsatz::Vorausschreiben()
{
    if (FDatei.handle() >= 0)
        ::sync_file_range(FDatei.handle(), 0, 0, SYNC_FILE_RANGE_WRITE);
}

bool TDateiErsatz::Uebernehmen()
{
    const int fd = FDatei.handle();
    if (fd < 0 || !FDatei.flush())
        return false;
    // Owner first: changing it clears set-user-ID bits, which the mode then puts back.
    if (::fchown(fd, FAlt.st_uid, FAlt.st_gid) != 0 && ::fchown(fd, uid_t(-1), FAlt.st_gid) != 0) {
        // Not allowed: the file becomes ours, as any new file would.
    }
    const struct timespec zeiten[2] = {FAlt.st_atim, {0, UTIME_NOW}};
    if (::fchmod(fd, FAlt.st_mode & 07777) != 0 || ::futimens(fd, zeiten) != 0 || ::fsync(fd) != 0)
        return false;
    const QByteArray ziel = QFile::encodeName(FZiel);
    if (FName.isEmpty()) {
        // The unnamed file gets a name of its own first, then takes the target's in one rename.
        const QFileInfo info(FZiel);
        for (int n = 0; n < 100 && FName.isEmpty(); ++n) {
            const QString name = tempName(info, n);
            const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
            if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, QFile::encodeName(name).constData(),
                         AT_SYMLINK_FOLLOW) == 0)
                FName = name;
            else if (errno != EEXIST)
                return false;
        }
        if (FName.isEmpty())
            return false;
    }
    if (::rename(QFile::encodeName(FName).constData(), ziel.constData()) != 0)
        return false;
    FUebernommen = true;
    FDatei.close();
    // The rename itself reaches the disk with the folder.
    const int dir = ::open(QFile::encodeName(QFileInfo(FZiel).absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}
