// Joins tagged MP3 files of at least 500 MB in all and copies the same bytes with cp, side by
// side in one run, and prints the time of the join as a ratio to cp (the goal is at most 1.2).
//
//     joinbench [FOLDER] [MEGABYTES]
//
// FOLDER defaults to the temporary folder; about three times MEGABYTES (default 600) of space
// is needed there for a moment.

#include "cutting/cutreporter.h"
#include "cutting/joinwriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace
{

constexpr int Dateien = 6;
constexpr qint64 MiB = 1024 * 1024;

class TBenchReporter : public TCutReporter
{
public:
    // What the window does between blocks, so its cost is part of the measurement.
    void NachrichtenVerarbeiten() override { QCoreApplication::processEvents(); }
    TMeldungAntwort Meldung(const QString &text, TMeldungArt art, TMeldungKnoepfe knoepfe) override
    {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        fehler = true;
        return TCutReporter::Meldung(text, art, knoepfe);
    }
    bool fehler = false;
};

bool eingabeSchreiben(const QString &name, qint64 audio, quint32 seed)
{
    QFile f(name);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray kopf(4096, '\0');
    kopf.replace(0, 10, QByteArray("ID3\x03\x00\x00\x00\x00\x1f\x76", 10)); // 4086 + 10 bytes
    QByteArray block(MiB, Qt::Uninitialized);
    quint32 x = seed;
    for (char &c : block) {
        x = x * 1664525u + 1013904223u;
        c = char(x >> 24);
    }
    bool ok = f.write(kopf) == kopf.size();
    for (qint64 rest = audio; ok && rest > 0; rest -= block.size())
        ok = f.write(block.constData(), qMin<qint64>(rest, block.size())) == qMin<qint64>(rest, block.size());
    QByteArray tag(128, '\0');
    tag.replace(0, 3, "TAG");
    return ok && f.write(tag) == tag.size();
}

double median(std::vector<double> v)
{
    const auto mitte = v.begin() + std::ptrdiff_t(v.size() / 2);
    std::nth_element(v.begin(), mitte, v.end());
    return *mitte;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString basis = args.size() > 1 ? args[1] : QDir::tempPath();
    const qint64 megabytes = args.size() > 2 ? qMax<qint64>(args[2].toLongLong(), 1) : 600;

    QTemporaryDir dir(basis + QStringLiteral("/joinbench-XXXXXX"));
    if (!dir.isValid()) {
        std::fprintf(stderr, "joinbench: no folder in %s\n", qPrintable(basis));
        return 1;
    }
    const qint64 audioJeDatei = megabytes * MiB / Dateien;
    TDateiliste liste;
    for (int i = 0; i < Dateien; ++i) {
        const QString name = dir.filePath(QStringLiteral("ein%1.mp3").arg(i + 1));
        if (!eingabeSchreiben(name, audioJeDatei, quint32(i + 1))) {
            std::fprintf(stderr, "joinbench: cannot write %s\n", qPrintable(name));
            return 1;
        }
        liste.append({name, QFileInfo(name).size(), 0});
    }
    const QString ziel = dir.filePath(QStringLiteral("ziel.mp3"));
    const QString kopie = dir.filePath(QStringLiteral("kopie.mp3"));
    std::printf("joining %d files, %lld MiB of audio in all\n", Dateien,
                static_cast<long long>(audioJeDatei * Dateien / MiB));

    std::vector<double> joinMs, cpMs, verhaeltnis;
    for (int runde = 0; runde < 9; ++runde) {
        QFile::remove(ziel);
        ::sync();
        QElapsedTimer t;
        t.start();
        TBenchReporter report;
        if (!Mp3ErstellenOk(liste, ziel, report) || report.fehler)
            return 1;
        const double j = t.nsecsElapsed() / 1e6;

        QFile::remove(kopie);
        ::sync();
        t.restart();
        if (QProcess::execute(QStringLiteral("cp"), {ziel, kopie}) != 0) {
            std::fprintf(stderr, "joinbench: cp failed\n");
            return 1;
        }
        const double c = t.nsecsElapsed() / 1e6;
        joinMs.push_back(j);
        cpMs.push_back(c);
        verhaeltnis.push_back(j / c);
        std::printf("round %d: join %8.1f ms   cp %8.1f ms   ratio %.2f\n", runde + 1, j, c, j / c);
    }
    if (QFileInfo(ziel).size() != audioJeDatei * Dateien) {
        std::fprintf(stderr, "joinbench: the joined file has the wrong size\n");
        return 1;
    }
    // Other work on the machine disturbs single rounds; the best rounds show the copy's own cost.
    std::printf("median: join %.1f ms, cp %.1f ms, ratio %.2f\n", median(joinMs), median(cpMs), median(verhaeltnis));
    const double besterJoin = *std::min_element(joinMs.begin(), joinMs.end());
    const double besterCp = *std::min_element(cpMs.begin(), cpMs.end());
    std::printf("best:   join %.1f ms, cp %.1f ms, ratio %.2f (goal: at most 1.20)\n", besterJoin, besterCp,
                besterJoin / besterCp);
    return 0;
}
