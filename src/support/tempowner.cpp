#include "support/tempowner.h"

#include "support/fileutils.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

struct TGehalten {
    QString name;
    int fd;
};

std::mutex gehaltenSperre;
std::vector<TGehalten> gehalten;

// True when the open file still has the name, not some file that took its place.
bool traegtNamen(int fd, const QByteArray &name)
{
    struct stat offen {
    }, benannt{};
    return ::fstat(fd, &offen) == 0 && ::stat(name.constData(), &benannt) == 0 && offen.st_dev == benannt.st_dev &&
           offen.st_ino == benannt.st_ino;
}

// Locks of working copies that were deleted meanwhile are let go.
void geloeschteLoslassen()
{
    std::erase_if(gehalten, [](const TGehalten &g) {
        if (traegtNamen(g.fd, QFile::encodeName(g.name)))
            return false;
        ::close(g.fd);
        return true;
    });
}

} // namespace

bool TempDateiReservieren(const QString &name, bool vorhandeneNehmen)
{
    const QByteArray pfad = QFile::encodeName(name);
    const int art = vorhandeneNehmen ? O_CREAT | O_TRUNC : O_CREAT | O_EXCL;
    // The cleanup of another starting copy may lock and delete a file between its creation and
    // our lock; then the name is free again and taken anew.
    for (int versuch = 0; versuch < 100; ++versuch) {
        const int fd = ::open(pfad.constData(), art | O_RDWR | O_CLOEXEC, 0666);
        if (fd < 0)
            return false;
        const bool gesperrt = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        if ((gesperrt && traegtNamen(fd, pfad)) || vorhandeneNehmen) {
            const std::lock_guard lock(gehaltenSperre);
            geloeschteLoslassen();
            gehalten.push_back({name, fd});
            return true;
        }
        ::close(fd);
        if (::access(pfad.constData(), F_OK) == 0) {
            errno = EEXIST;
            return false;
        }
    }
    errno = EEXIST;
    return false;
}

int VerwaisteTempDateienEntfernen()
{
    static const QRegularExpression muster(QStringLiteral("^TmpZinS[0-9]+\\.mp3$"));
    const QDir ordner(TempOrdner());
    int entfernt = 0;
    for (const QString &name : ordner.entryList({QStringLiteral("TmpZinS*.mp3")}, QDir::Files | QDir::Hidden)) {
        if (!muster.match(name).hasMatch())
            continue;
        const QByteArray pfad = QFile::encodeName(ordner.filePath(name));
        const int fd = ::open(pfad.constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st {};
        // Only our own regular files; a lock that cannot be had means the owner still runs.
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 && traegtNamen(fd, pfad) && ::unlink(pfad.constData()) == 0)
            ++entfernt;
        ::close(fd);
    }
    return entfernt;
}
