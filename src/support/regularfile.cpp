#include "support/regularfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

TDateiOeffnen DateiZumLesenOeffnen(QFile &datei)
{
    // Without O_NONBLOCK the open of a pipe waits for a writer.
    const int fd = ::open(QFile::encodeName(datei.fileName()).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return TDateiOeffnen::Fehler;
    struct stat st {};
    const bool gelesen = ::fstat(fd, &st) == 0;
    if (!gelesen || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return !gelesen || S_ISDIR(st.st_mode) ? TDateiOeffnen::Fehler : TDateiOeffnen::KeineDatei;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!datei.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return TDateiOeffnen::Fehler;
    }
    return TDateiOeffnen::Offen;
}

bool SonderDatei(const QString &name)
{
    struct stat st {};
    return ::stat(QFile::encodeName(name).constData(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
}
