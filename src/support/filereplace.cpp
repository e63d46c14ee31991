#include "support/filereplace.h"

#include "support/tempowner.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The rename or link itself reaches the disk with the folder.
void OrdnerSichern(const QString &datei)
{
    const int dir = ::open(QFile::encodeName(QFileInfo(datei).absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

} // namespace

TDateiErsatz::TDateiErsatz(const QString &ziel, TArt art) : FArt(art)
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
    TempVermerkLoeschen(FVermerk);
}

bool TDateiErsatz::Vermerken()
{
    if (FVermerk.isEmpty())
        FVermerk = TempVermerkAnlegen(QFileInfo(FZiel).absolutePath());
    return !FVermerk.isEmpty();
}

void TDateiErsatz::StaleEntfernen() const
{
    const QFileInfo ziel(FZiel);
    const QString prefix = QLatin1Char('.') + ziel.fileName() + QStringLiteral(".zindara-");
    const QDir folder = ziel.dir();
    for (const QString &name : folder.entryList({prefix + QStringLiteral("*.tmp")}, QDir::Files | QDir::Hidden)) {
        const qint64 pid = DanebenPid(name);
        if (pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
            QFile::remove(folder.filePath(name));
    }
}

bool TDateiErsatz::Anlegen()
{
    const QByteArray ziel = QFile::encodeName(FZiel);
    if (ziel.isEmpty())
        return false; // a link that leads nowhere
    if (FArt == TArt::Neu) {
        struct stat st {};
        if (::lstat(ziel.constData(), &st) == 0 || errno != ENOENT)
            return false;
    } else if (::stat(ziel.constData(), &FAlt) != 0 || !S_ISREG(FAlt.st_mode) ||
               (FArt == TArt::Datei && FAlt.st_nlink > 1)) {
        return false;
    }
    StaleEntfernen();
    const QFileInfo info(FZiel);
    const QByteArray folder = QFile::encodeName(info.absolutePath());
    // A new file gets the usual permissions (the umask applies); a replacement the old file's.
    const mode_t rechte = FArt == TArt::Neu ? 0666 : 0600;
    int fd = ::open(folder.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, rechte);
    if (fd < 0) {
        // File systems without unnamed files get a named one.
        if (!Vermerken())
            return false;
        for (int n = 0; n < 100 && fd < 0; ++n) {
            FName = DanebenName(FZiel, n);
            fd = ::open(QFile::encodeName(FName).constData(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, rechte);
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
    // A new name replaces nothing: like any copy, it reaches the disk in its own time, and a
    // power cut can only take what was just made. A file that takes another's place is on the
    // disk before it does, so that one of the two is always whole.
    if (FArt == TArt::Neu)
        return VerknuepfenOhneErsetzen();
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
        if (!Vermerken())
            return false;
        for (int n = 0; n < 100 && FName.isEmpty(); ++n) {
            const QString name = DanebenName(FZiel, n);
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
    OrdnerSichern(FZiel);
    TempVermerkLoeschen(FVermerk);
    FVermerk.clear();
    return true;
}

bool TDateiErsatz::VerknuepfenOhneErsetzen()
{
    // A link fails where the name is taken, so a file that appeared meanwhile stays.
    const QByteArray ziel = QFile::encodeName(FZiel);
    const int fd = FDatei.handle();
    if (FName.isEmpty()) {
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
        if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, ziel.constData(), AT_SYMLINK_FOLLOW) != 0)
            return false;
    } else {
        const QByteArray name = QFile::encodeName(FName);
        if (::link(name.constData(), ziel.constData()) != 0)
            return false;
        ::unlink(name.constData());
    }
    FUebernommen = true;
    FDatei.close();
    OrdnerSichern(FZiel);
    return true;
}
