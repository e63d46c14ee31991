#include "support/bytecopy.h"

#include <QFileDevice>
#include <QThread>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

// Page-aligned, which lets the system move whole pages in and out of the buffer.
TByteCopy::TByteCopy() : FPuffer(static_cast<char *>(std::aligned_alloc(4096, Blockgroesse)))
{
    if (!FPuffer)
        throw std::bad_alloc();
}

void TByteCopy::Freigabe::operator()(char *p) const
{
    std::free(p);
}

int TByteCopy::PauseNachBlock()
{
    static const int pause = qMax(0, qEnvironmentVariableIntValue("ZINDARA_KOPIE_PAUSE_MS"));
    return pause;
}

void TByteCopy::FortlaufendLesen(QFileDevice &datei)
{
    // Larger read-ahead: the copy reads every byte once, front to back.
    if (datei.handle() >= 0)
        ::posix_fadvise(datei.handle(), 0, 0, POSIX_FADV_SEQUENTIAL);
}

namespace {

bool regularFile(const QFileDevice *datei)
{
    struct stat st {};
    return datei != nullptr && datei->handle() >= 0 && ::fstat(datei->handle(), &st) == 0 && S_ISREG(st.st_mode);
}

// The kernel declines this pair of files; the buffer copies them instead.
bool declined(int error)
{
    return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP || error == EBADF;
}

} // namespace

TKopierErgebnis TByteCopy::Kopieren(QIODevice &quelle, QIODevice &ziel, qint64 anzahl,
                                    const std::function<void()> &nachBlock)
{
    TKopierErgebnis e;
    // Between two regular files the kernel moves each block itself, without passing it through
    // the buffer: the same blocks, a good deal less work.
    auto *ein = qobject_cast<QFileDevice *>(&quelle);
    auto *aus = qobject_cast<QFileDevice *>(&ziel);
    bool imKern = regularFile(ein) && regularFile(aus) && aus->flush();
    const qint64 einStart = quelle.pos();
    const qint64 ausStart = ziel.pos();
    bool kernBenutzt = false;
    const int pause = PauseNachBlock();
    // The kernel copies faster the more it is given at once, so its blocks grow while each takes
    // little time and shrink again on a slow disk, where the window must still answer between
    // them. A slowed copy keeps small blocks, so that a test can stop it between many of them.
    qint64 kernBlock = Blockgroesse;
    while (e.gelesen < anzahl) {
        const qint64 block = qMin(imKern ? kernBlock : Blockgroesse, anzahl - e.gelesen);
        qint64 n = 0;
        if (imKern) {
            loff_t von = einStart + e.gelesen;
            loff_t nach = ausStart + e.geschrieben;
            const auto anfang = std::chrono::steady_clock::now();
            n = ::copy_file_range(ein->handle(), &von, aus->handle(), &nach, size_t(block), 0);
            const auto dauer = std::chrono::steady_clock::now() - anfang;
            if (pause == 0 && dauer < std::chrono::milliseconds(10))
                kernBlock = qMin(2 * kernBlock, Kernblockgroesse);
            else if (dauer > std::chrono::milliseconds(40))
                kernBlock = qMax(kernBlock / 2, Blockgroesse);
            if (n < 0 && !kernBenutzt && declined(errno)) {
                imKern = false;
                continue;
            }
            kernBenutzt = true;
            if (n < 0) {
                if (errno == ENOSPC || errno == EFBIG || errno == EDQUOT)
                    e.schreibfehler = true;
                else
                    e.lesefehler = true;
                break;
            }
        } else {
            n = quelle.read(FPuffer.get(), block);
            if (n < 0) {
                e.lesefehler = true;
                break;
            }
        }
        if (n == 0) {
            e.zuKurz = true;
            break;
        }
        e.gelesen += n;
        // The kernel has written what it read.
        const qint64 w = imKern ? n : ziel.write(FPuffer.get(), n);
        if (w > 0)
            e.geschrieben += w;
        if (w != n) {
            e.schreibfehler = true;
            break;
        }
        if (nachBlock)
            nachBlock();
        if (pause > 0)
            QThread::msleep(pause);
    }
    if (kernBenutzt) {
        // The kernel copied at explicit offsets; both devices move on as a read and a write would.
        quelle.seek(einStart + e.gelesen);
        ziel.seek(ausStart + e.geschrieben);
        return e;
    }
    // A buffered file only meets the full disk when it flushes.
    if (aus != nullptr && !e.schreibfehler) {
        if (!aus->flush() || aus->error() == QFileDevice::WriteError)
            e.schreibfehler = true;
    }
    return e;
}
