#include "support/tempowner.h"

#include "support/fileutils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <csignal>
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

// Files beside a replaced file that a process with the id `pid` left in `ordner`.
int danebenEntfernen(const QString &ordner, qint64 pid)
{
    const QDir dir(ordner);
    int entfernt = 0;
    for (const QString &name : dir.entryList({QStringLiteral(".*.zindara-*.tmp")}, QDir::Files | QDir::Hidden)) {
        if (DanebenPid(name) == pid && QFile::remove(dir.filePath(name)))
            ++entfernt;
    }
    return entfernt;
}

} // namespace

QString DanebenName(const QString &ziel, int n)
{
    const QFileInfo info(ziel);
    return info.absolutePath() + QStringLiteral("/.%1.zindara-%2-%3.tmp")
                                     .arg(info.fileName(), QString::number(::getpid()), QString::number(n));
}

qint64 DanebenPid(const QString &name)
{
    static const QRegularExpression muster(QStringLiteral("^\\..+\\.zindara-([0-9]+)-[0-9]+\\.tmp$"));
    const QRegularExpressionMatch m = muster.match(name);
    return m.hasMatch() ? m.captured(1).toLongLong() : 0;
}

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

QString TempVermerkAnlegen(const QString &ordner)
{
    const QString tmp = TempOrdner();
    for (int n = 1; n <= 65535; ++n) {
        const QString name = tmp + QStringLiteral("TmpZinV%1.txt").arg(n);
        if (!TempDateiReservieren(name, false)) {
            if (errno == EEXIST)
                continue;
            return {};
        }
        const QByteArray inhalt = QFile::encodeName(ordner) + '\n' + QByteArray::number(::getpid()) + '\n';
        QFile f(name);
        if (f.open(QIODevice::WriteOnly) && f.write(inhalt) == inhalt.size() && f.flush())
            return name;
        TempVermerkLoeschen(name);
        return {};
    }
    return {};
}

void TempVermerkLoeschen(const QString &vermerk)
{
    if (vermerk.isEmpty())
        return;
    QFile::remove(vermerk);
    const std::lock_guard lock(gehaltenSperre);
    geloeschteLoslassen();
}

int VerwaisteTempDateienEntfernen()
{
    static const QRegularExpression muster(QStringLiteral("^TmpZin([SV])[0-9]+\\.(mp3|txt)$"));
    const QDir ordner(TempOrdner());
    int entfernt = 0;
    for (const QString &name : ordner.entryList({QStringLiteral("TmpZinS*.mp3"), QStringLiteral("TmpZinV*.txt")},
                                                QDir::Files | QDir::Hidden)) {
        const QRegularExpressionMatch m = muster.match(name);
        if (!m.hasMatch() || (m.captured(1) == QLatin1String("S")) != (m.captured(2) == QLatin1String("mp3")))
            continue;
        const QByteArray pfad = QFile::encodeName(ordner.filePath(name));
        const int fd = ::open(pfad.constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st {};
        // Only our own regular files; a lock that cannot be had means the owner still runs.
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 && traegtNamen(fd, pfad)) {
            if (m.captured(1) == QLatin1String("V")) {
                // A note: the folder and the process id of the files it stands for.
                char puffer[4096];
                const ssize_t n = ::read(fd, puffer, sizeof puffer);
                const QList<QByteArray> zeilen = QByteArray(puffer, n > 0 ? int(n) : 0).split('\n');
                const qint64 pid = zeilen.size() >= 2 ? zeilen[1].toLongLong() : 0;
                // The id may already belong to another process, whose files must stay.
                if (pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH) {
                    entfernt += danebenEntfernen(QFile::decodeName(zeilen[0]), pid);
                    ::unlink(pfad.constData());
                } else if (pid <= 0) {
                    ::unlink(pfad.constData());
                }
            } else if (::unlink(pfad.constData()) == 0) {
                ++entfernt;
            }
        }
        ::close(fd);
    }
    return entfernt;
}
