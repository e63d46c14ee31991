// How long opening a long file takes: the player scans every frame for its exact length while the
// window waits. Prints the time for an hour of MP3 beside a plain read of the same bytes.
#include "decoder/mp3length.h"
#include "support/mpegbuilder.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

int main()
{
    QTemporaryDir dir;
    const QString file = dir.filePath("hour.mp3");
    const mpeg::FrameSpec spec;
    const int frames = int(3600.0 * 1000.0 / mpeg::durationMs(spec, 1));
    {
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly))
            return 1;
        const QByteArray block = mpeg::frames(spec, 1000, true);
        for (int i = 0; i < frames / 1000; ++i)
            out.write(block);
    }
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer t;
        t.start();
        QFile in(file);
        in.open(QIODevice::ReadOnly);
        QByteArray buffer(128 * 1024, Qt::Uninitialized);
        qint64 total = 0;
        while (qint64 n = in.read(buffer.data(), buffer.size()))
            total += n > 0 ? n : 0;
        const qint64 readMs = t.restart();
        const qint64 length = Mp3LaengeMs(file);
        const qint64 scanMs = t.elapsed();
        std::printf("%lld bytes, length %lld ms: read %lld ms, length scan %lld ms\n", (long long)total,
                    (long long)length, (long long)readMs, (long long)scanMs);
    }
    return 0;
}
