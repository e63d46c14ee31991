// Scans a file whose first frame lies behind megabytes of junk and prints the speed, beside a
// plain sequential read of the same file for comparison.
//   scanbench [junk megabytes, default 10] [runs, default 5]

#include "audio/mpeginfo.h"
#include "support/mpegbuilder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>

namespace {

double bestSeconds(int runs, const auto &work)
{
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        best = std::min(best, t.nsecsElapsed() / 1e9);
    }
    return best;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int junkMb = args.size() > 1 ? args[1].toInt() : 10;
    const int runs = args.size() > 2 ? args[2].toInt() : 5;

    QTemporaryDir dir;
    const QByteArray audio = mpeg::frames(mpeg::FrameSpec{}, 2000);
    // Random junk has a 0xFF every 256 bytes; a run of stray headers makes every fourth byte a
    // candidate whose follower must be looked up.
    QRandomGenerator random(42);
    QByteArray noise(1 << 20, '\0');
    random.fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
    const QByteArray strayHeaders = mpeg::header(mpeg::FrameSpec{}).repeated(noise.size() / 4);

    for (const auto &[label, junk] : {std::pair{"random junk", noise}, std::pair{"stray headers", strayHeaders}}) {
        const QString name = dir.filePath(QStringLiteral("scan.mp3"));
        {
            QFile f(name);
            if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
                return 1;
            for (int mb = 0; mb < junkMb; ++mb)
                f.write(junk);
            f.write(audio);
        }
        const double mb = QFile(name).size() / 1e6;

        TMpegInfo info;
        const double scan = bestSeconds(runs, [&] { info.LoadFromFile(name); });
        if (!info.Valid() || info.FirstHeaderPosition() != qint64(junkMb) * junk.size()) {
            std::printf("%s: first frame not found where it is\n", label);
            return 1;
        }
        const double read = bestSeconds(runs, [&] {
            QFile f(name);
            f.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
            QByteArray buffer(64 * 1024, Qt::Uninitialized);
            while (f.read(buffer.data(), buffer.size()) > 0) {
            }
        });
        const double examined = info.FirstHeaderPosition() / 1e6;
        std::printf("%s: first frame behind %.1f MB, best of %d: scan %.1f ms = %.0f MB/s; "
                    "plain read of the %.1f MB file %.1f ms = %.0f MB/s\n",
                    label, examined, runs, scan * 1000, examined / scan, mb, read * 1000, mb / read);
    }
    return 0;
}
