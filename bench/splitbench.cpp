// Splits a large working copy into pieces and copies the same bytes with cp, alternately, and
// prints the time of each and their ratio; for comparison also one copy through the 128 KiB
// buffer instead of the kernel. Usage: splitbench [megabytes] [rounds]

#include "support/bytecopy.h"
#include "cutting/sizesplit.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

bool grosseDatei(const QString &name, qint64 bytes)
{
    QFile f(name);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray block(1 << 20, Qt::Uninitialized);
    quint32 x = 12345;
    for (qint64 done = 0; done < bytes; done += block.size()) {
        for (char &c : block) {
            x = x * 1664525u + 1013904223u;
            c = char(x >> 24);
        }
        const qint64 n = qMin<qint64>(block.size(), bytes - done);
        if (f.write(block.constData(), n) != n)
            return false;
    }
    return true;
}

void aufraeumen(const QString &ordner)
{
    for (const QString &n : QDir(ordner).entryList({QStringLiteral("Buch_*"), QStringLiteral("kopie.mp3")}))
        QFile::remove(ordner + QLatin1Char('/') + n);
    ::sync();
}

// User plus system time of this process or of its finished children, in seconds.
double cpuZeit(int wer)
{
    rusage u{};
    getrusage(wer, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = app.arguments();
    const qint64 mb = args.size() > 1 ? args[1].toLongLong() : 512;
    const int runden = args.size() > 2 ? args[2].toInt() : 3;
    QTemporaryDir dir;
    if (!dir.isValid() || mb <= 0 || runden <= 0)
        return 1;
    const QString tmp = dir.filePath(QStringLiteral("TmpZinS1.mp3"));
    const qint64 S = mb * 1024 * 1024;
    out << "Datei von " << mb << " MiB wird angelegt...\n";
    out.flush();
    if (!grosseDatei(tmp, S))
        return 1;
    const TTeilAuftrag auftrag{tmp, dir.filePath(QStringLiteral("Buch.mp3")), S};
    const qint64 p = TeilgroesseKorrigieren(S, 100 * 1024 * 1024);

    // Wall time is what the user waits; processor time shows the same without the noise of a busy
    // machine.
    std::vector<double> teilen, kopieren, teilenCpu, kopierenCpu, puffer;
    for (int r = 0; r < runden; ++r) {
        aufraeumen(dir.path());
        QElapsedTimer t;
        double c = cpuZeit(RUSAGE_SELF);
        t.start();
        TCutReporter still;
        if (TeilenStarten(auftrag, ModusBytes, p, 0, still).Fehler)
            return 1;
        teilen.push_back(t.nsecsElapsed() / 1e9);
        teilenCpu.push_back(cpuZeit(RUSAGE_SELF) - c);

        aufraeumen(dir.path());
        c = cpuZeit(RUSAGE_CHILDREN);
        t.restart();
        if (QProcess::execute(QStringLiteral("cp"), {tmp, dir.filePath(QStringLiteral("kopie.mp3"))}) != 0)
            return 1;
        kopieren.push_back(t.nsecsElapsed() / 1e9);
        kopierenCpu.push_back(cpuZeit(RUSAGE_CHILDREN) - c);

        aufraeumen(dir.path());
        t.restart();
        {
            QFile ein(tmp), aus(dir.filePath(QStringLiteral("kopie.mp3")));
            TByteCopy kopierer;
            if (!ein.open(QIODevice::ReadOnly) || !aus.open(QIODevice::WriteOnly | QIODevice::Unbuffered)
                || !kopierer.Kopieren(ein, aus, S).vollstaendig(S))
                return 1;
        }
        puffer.push_back(t.nsecsElapsed() / 1e9);
        out << "Runde " << r + 1 << ": teilen " << teilen.back() << " s (CPU " << teilenCpu.back() << " s), cp "
            << kopieren.back() << " s (CPU " << kopierenCpu.back() << " s), durch den Puffer "
            << puffer.back() << " s\n";
        out.flush();
    }
    aufraeumen(dir.path());
    const double a = median(teilen), b = median(kopieren);
    const double ac = median(teilenCpu), bc = median(kopierenCpu);
    out << "Median: teilen " << a << " s, cp " << b << " s, Verhältnis " << a / b << " (Ziel höchstens 1,2)\n";
    out << "Prozessorzeit: teilen " << ac << " s, cp " << bc << " s, Verhältnis " << ac / bc << "\n";
    out << "Kopie durch den Puffer: " << median(puffer) << " s, Verhältnis zu cp " << median(puffer) / b << "\n";
    return 0;
}
