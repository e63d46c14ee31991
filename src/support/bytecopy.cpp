#include "support/bytecopy.h"

#include <QFileDevice>
#include <QThread>

#include <cstdlib>
#include <fcntl.h>
#include <new>

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

TKopierErgebnis TByteCopy::Kopieren(QIODevice &quelle, QIODevice &ziel, qint64 anzahl,
                                    const std::function<void()> &nachBlock)
{
    TKopierErgebnis e;
    while (e.gelesen < anzahl) {
        const qint64 block = qMin(Blockgroesse, anzahl - e.gelesen);
        const qint64 n = quelle.read(FPuffer.get(), block);
        if (n < 0) {
            e.lesefehler = true;
            break;
        }
        if (n == 0) {
            e.zuKurz = true;
            break;
        }
        e.gelesen += n;
        const qint64 w = ziel.write(FPuffer.get(), n);
        if (w > 0)
            e.geschrieben += w;
        if (w != n) {
            e.schreibfehler = true;
            break;
        }
        if (nachBlock)
            nachBlock();
        if (PauseNachBlock() > 0)
            QThread::msleep(PauseNachBlock());
    }
    // A buffered file only meets the full disk when it flushes.
    if (auto *datei = qobject_cast<QFileDevice *>(&ziel); datei && !e.schreibfehler) {
        if (!datei->flush() || datei->error() == QFileDevice::WriteError)
            e.schreibfehler = true;
    }
    return e;
}
