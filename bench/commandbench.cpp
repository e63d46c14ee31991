// Times what the user waits for: each command as a whole process, side by side with cp, cat and
// dd of the same bytes (the splits also beside the kernel's copy from an odd offset, where their
// pieces start). zindara-cli split by size, time and marks, join, tag in place,
// tag rewrite, info, and the program's opening of a file (working copy and length, benchopen).
// The files are 128 kbit/s MP3 with both tags, read once before, so the cache is warm; every run
// starts after a sync; command and reference run in pairs, in turns first. Prints a Markdown
// table of medians: times, the median of the paired ratios of wall and of processor time (the
// latter barely moved by other work on the machine), the peak memory of the process and the
// machine's load (1-minute average) while it ran. The atomic tag rewrite, which makes its file
// durable, is also set against cp followed by a sync of the copy.
//
//     commandbench [--rounds N] [--dir FOLDER] [MB ...]
//
// MB are file sizes in millions of bytes, 60 600 2000 by default; about five times the largest
// is needed in FOLDER (default: the temporary folder).

#include "cutting/piecenames.h"
#include "support/mpegbuilder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

struct Lauf {
    double sekunden = 0;
    double cpu = 0; // user and system time of the process
    double spitzeMb = 0;
    bool ok = false;
};

// Runs `argv` with its output into `ausgabe` (or nowhere) and measures it from outside.
Lauf ausfuehren(const QStringList &argv, const QString &ausgabe = {})
{
    std::vector<std::string> teile;
    for (const QString &a : argv)
        teile.push_back(QFile::encodeName(a).toStdString());
    const std::string ziel = ausgabe.isEmpty() ? std::string("/dev/null") : QFile::encodeName(ausgabe).toStdString();
    timespec a{}, b{};
    clock_gettime(CLOCK_MONOTONIC, &a);
    const pid_t pid = fork();
    if (pid == 0) {
        const int fd = ::open(ziel.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int nichts = ::open("/dev/null", O_WRONLY);
        if (fd < 0 || nichts < 0)
            _exit(126);
        dup2(fd, 1);
        dup2(nichts, 2);
        std::vector<char *> args;
        for (std::string &t : teile)
            args.push_back(t.data());
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    rusage nutzung{};
    if (pid < 0 || wait4(pid, &status, 0, &nutzung) != pid)
        return {};
    clock_gettime(CLOCK_MONOTONIC, &b);
    const auto s = [](const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return {double(b.tv_sec - a.tv_sec) + double(b.tv_nsec - a.tv_nsec) / 1e9,
            s(nutzung.ru_utime) + s(nutzung.ru_stime), double(nutzung.ru_maxrss) / 1024.0,
            WIFEXITED(status) && WEXITSTATUS(status) == 0};
}

double last()
{
    QFile f(QStringLiteral("/proc/loadavg"));
    return f.open(QIODevice::ReadOnly) ? f.readAll().split(' ').value(0).toDouble() : -1;
}

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// An MP3 file of about `bytes` bytes: an ID3v2 tag with room to spare, 128 kbit/s frames, an
// ID3v1 tag. Returns its playing time in milliseconds, 0 on failure.
double mp3Anlegen(const QString &name, qint64 bytes)
{
    QFile f(name);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    const mpeg::FrameSpec spec;
    const QByteArray block = mpeg::frames(spec, 1000, true);
    qint64 frames = 0;
    bool ok = f.write(mpeg::id3v2Tag(3, 4096)) == 4096;
    for (qint64 done = 0; ok && done < bytes; done += block.size(), frames += 1000)
        ok = f.write(block) == block.size();
    ok = ok && f.write(mpeg::id3v1Tag(QStringLiteral("Titel"))) == 128;
    return ok ? mpeg::durationMs(spec, frames) : 0;
}

void entfernen(const QString &ordner, const QStringList &muster)
{
    for (const QString &n : QDir(ordner).entryList(muster, QDir::Files))
        QFile::remove(ordner + QLatin1Char('/') + n);
}

struct Referenz {
    QString name; // "cp", "cat", "cp + fsync"
    QStringList argv;
    QString ausgabe = {};
    QStringList danach = {}; // also timed, right after it
};

struct Messung {
    QString befehl;
    std::function<void()> vorher; // untimed, before every run
    QStringList argv;
    std::vector<Referenz> referenzen;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int runden = 3;
    QString basis = QDir::tempPath();
    std::vector<qint64> groessen;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--rounds") && i + 1 < args.size())
            runden = args[++i].toInt();
        else if (args[i] == QLatin1String("--dir") && i + 1 < args.size())
            basis = args[++i];
        else
            groessen.push_back(args[i].toLongLong());
    }
    if (groessen.empty())
        groessen = {60, 600, 2000};
    if (runden <= 0 || std::any_of(groessen.begin(), groessen.end(), [](qint64 g) { return g <= 0; })) {
        std::fprintf(stderr, "commandbench [--rounds N] [--dir FOLDER] [MB ...]\n");
        return 2;
    }
    QTemporaryDir dir(basis + QStringLiteral("/commandbench-XXXXXX"));
    if (!dir.isValid())
        return 1;
    const QString d = dir.path();
    // The working copy of the opening goes where the file is, as the program's would on one disk.
    qputenv("TMPDIR", QFile::encodeName(d));
    const QString cli = QStringLiteral(ZINDARA_CLI);
    const QString oeffnen = QStringLiteral(BENCH_OPEN);
    const QString buch = d + QStringLiteral("/Buch.mp3");
    const QString arbeit = d + QStringLiteral("/Arbeit.mp3");
    const QString kopie = d + QStringLiteral("/kopie.mp3");
    const QString teile = d + QStringLiteral("/teile");
    QDir(d).mkdir(QStringLiteral("teile"));

    char host[256] = {};
    gethostname(host, sizeof host - 1);
    std::printf("| file | command | time | references | ratios | CPU ratios | peak memory | load |\n");
    std::printf("|---|---|---|---|---|---|---|---|\n");
    std::fflush(stdout);
    for (const qint64 mb : groessen) {
        std::fprintf(stderr, "%lld MB file...\n", static_cast<long long>(mb));
        const double ms = mp3Anlegen(buch, mb * 1000 * 1000);
        if (ms <= 0)
            return 1;
        const QString marke1 = QString::number(qint64(ms / 3));
        const QString marke2 = QString::number(qint64(2 * ms / 3));
        // Three pieces to join, made once.
        entfernen(d, {QStringLiteral("Buch_*")});
        if (!ausfuehren({cli, QStringLiteral("split"), buch, QStringLiteral("--mark"), marke1, QStringLiteral("--mark"),
                         marke2})
                 .ok)
            return 1;
        QStringList stuecke;
        for (int k = 1; QFile::exists(NeueDatei(buch, k)); ++k) {
            const QString z = teile + QStringLiteral("/t%1.mp3").arg(k);
            QFile::remove(z);
            QFile::rename(NeueDatei(buch, k), z);
            stuecke << z;
        }
        const QString verbunden = d + QStringLiteral("/Verbunden.mp3");
        const auto ohneTeile = [&] { entfernen(d, {QStringLiteral("Buch_*"), QStringLiteral("kopie.mp3")}); };
        const auto frischeArbeit = [&] {
            entfernen(d, {QStringLiteral("kopie.mp3"), QStringLiteral("Arbeit.mp3")});
            QFile::copy(buch, arbeit);
        };
        const Referenz cp{QStringLiteral("cp"), {QStringLiteral("cp"), buch, kopie}};
        const Referenz cat{QStringLiteral("cat"), {QStringLiteral("cat"), buch}, kopie};
        // cp and cat let the kernel copy (copy_file_range); dd moves the bytes through a buffer of
        // 128 KiB in the process, as Zindara's copies do.
        const Referenz dd{QStringLiteral("dd"),
                          {QStringLiteral("dd"), QStringLiteral("if=") + buch, QStringLiteral("of=") + kopie,
                           QStringLiteral("bs=128K")}};
        // The same copy from byte 45: what every byte of a split costs the kernel at least.
        const Referenz ab45{QStringLiteral("cp from byte 45"),
                            {QStringLiteral(BENCH_COPYFROM), buch, kopie, QStringLiteral("45")}};
        const QStringList umschreiben{cli, QStringLiteral("tag"), QStringLiteral("--comment"),
                                      QString(9000, QLatin1Char('K')), arbeit};
        const std::vector<Messung> messungen = {
            {QStringLiteral("split --kb 20000"),
             ohneTeile,
             {cli, QStringLiteral("split"), buch, QStringLiteral("--kb"), QStringLiteral("20000")},
             {cp, cat, dd, ab45}},
            {QStringLiteral("split --minutes 20"),
             ohneTeile,
             {cli, QStringLiteral("split"), buch, QStringLiteral("--minutes"), QStringLiteral("20")},
             {cp, cat, dd, ab45}},
            {QStringLiteral("split --mark (2 marks)"),
             ohneTeile,
             {cli, QStringLiteral("split"), buch, QStringLiteral("--mark"), marke1, QStringLiteral("--mark"), marke2},
             {cp, cat, dd, ab45}},
            {QStringLiteral("join (3 pieces)"),
             [&] {
                 entfernen(d, {QStringLiteral("Verbunden.mp3"), QStringLiteral("kopie.mp3")});
             },
             QStringList{cli, QStringLiteral("join"), QStringLiteral("-o"), verbunden} + stuecke,
             {cp, {QStringLiteral("cat"), QStringList{QStringLiteral("cat")} + stuecke, kopie}}},
            {QStringLiteral("tag in place"),
             frischeArbeit,
             {cli, QStringLiteral("tag"), QStringLiteral("--title"), QStringLiteral("Neuer Titel"), arbeit},
             {cp, cat, dd}},
            {QStringLiteral("tag rewrite (tag grows)"), frischeArbeit, umschreiben, {cp, cat, dd}},
            {QStringLiteral("tag rewrite (tag grows), references with fsync"),
             frischeArbeit,
             umschreiben,
             {{QStringLiteral("cp + fsync"), cp.argv, {}, {QStringLiteral("sync"), kopie}},
              {QStringLiteral("cat + fsync"), cat.argv, kopie, {QStringLiteral("sync"), kopie}},
              {QStringLiteral("dd + fsync"), dd.argv, {}, {QStringLiteral("sync"), kopie}}}},
            {QStringLiteral("info"),
             [&] { entfernen(d, {QStringLiteral("kopie.mp3")}); },
             {cli, QStringLiteral("info"), buch},
             {cp, cat, dd}},
            {QStringLiteral("opening (working copy and length)"),
             [&] {
                 entfernen(d, {QStringLiteral("kopie.mp3"), QStringLiteral("TmpZinS*")});
             },
             {oeffnen, buch},
             {cp, cat, dd}},
        };
        for (const Messung &m : messungen) {
            const size_t n = m.referenzen.size();
            std::vector<double> zeit, spitze, lasten;
            std::vector<std::vector<double>> refZeit(n), verhaeltnis(n), cpuVerhaeltnis(n);
            bool fehler = false;
            for (int r = 0; r < runden; ++r) {
                // The command and its references in turns, each round starting with another.
                std::vector<Lauf> laeufe(n + 1);
                for (size_t i = 0; i <= n; ++i) {
                    const size_t wer = (i + size_t(r)) % (n + 1);
                    m.vorher();
                    ::sync();
                    lasten.push_back(last());
                    if (wer == 0) {
                        laeufe[0] = ausfuehren(m.argv);
                        continue;
                    }
                    const Referenz &ref = m.referenzen[wer - 1];
                    Lauf l = ausfuehren(ref.argv, ref.ausgabe);
                    if (!ref.danach.isEmpty()) {
                        const Lauf danach = ausfuehren(ref.danach);
                        l.sekunden += danach.sekunden;
                        l.cpu += danach.cpu;
                        l.ok = l.ok && danach.ok;
                    }
                    laeufe[wer] = l;
                }
                zeit.push_back(laeufe[0].sekunden);
                spitze.push_back(laeufe[0].spitzeMb);
                fehler = fehler || !laeufe[0].ok;
                for (size_t k = 0; k < n; ++k) {
                    const Lauf &l = laeufe[k + 1];
                    fehler = fehler || !l.ok;
                    refZeit[k].push_back(l.sekunden);
                    verhaeltnis[k].push_back(laeufe[0].sekunden / l.sekunden);
                    cpuVerhaeltnis[k].push_back(laeufe[0].cpu / qMax(1e-6, l.cpu));
                }
            }
            QString refs, ratios, cpus;
            for (size_t k = 0; k < n; ++k) {
                const QString trenner = k == 0 ? QString() : QStringLiteral(", ");
                refs +=
                    trenner + QStringLiteral("%1 %2 s").arg(m.referenzen[k].name).arg(median(refZeit[k]), 0, 'f', 2);
                ratios += trenner + QString::number(median(verhaeltnis[k]), 'f', 2);
                cpus += trenner + QString::number(median(cpuVerhaeltnis[k]), 'f', 2);
            }
            std::printf("| %lld MB | %s | %.2f s | %s | %s%s | %s | %.1f MB | %.1f |\n", static_cast<long long>(mb),
                        qPrintable(m.befehl), median(zeit), qPrintable(refs), qPrintable(ratios),
                        fehler ? " (failed)" : "", qPrintable(cpus), *std::max_element(spitze.begin(), spitze.end()),
                        median(lasten));
            std::fflush(stdout);
        }
        entfernen(d, {QStringLiteral("*.mp3")});
        entfernen(teile, {QStringLiteral("*.mp3")});
    }
    std::printf("\n%s, %ld cores, %d paired runs per row, medians.\n", host, sysconf(_SC_NPROCESSORS_ONLN), runden);
    return 0;
}
