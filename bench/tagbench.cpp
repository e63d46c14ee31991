// Measures reading the tags of many files, and writing a tag into a large file in place and
// by rewrite, the rewrite against copying the same file with cp; then the whole
// `zindara-cli tag` command on a file whose tag must grow, against cp of the same file.
//   tagbench [--files N] [--mb SIZE] [--cli-mb SIZE]

#include "tags/id3v1tag.h"
#include "tags/id3v2tag.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace {

constexpr int kRepeats = 3;

double ms(const QElapsedTimer &timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

bool writeAudio(const QString &name, qint64 bytes)
{
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray chunk(1 << 20, '\x55');
    for (qint64 left = bytes; left > 0; left -= chunk.size())
        if (file.write(chunk.constData(), qMin<qint64>(left, chunk.size())) < 0)
            return false;
    return true;
}

void fill(TID3v2Tag &tag, const QString &title)
{
    tag.SetTitle(title);
    tag.SetArtist(QStringLiteral("Künstler"));
    tag.SetAlbum(QStringLiteral("Album"));
    tag.SetYear(QStringLiteral("2024"));
    tag.SetTrack(QStringLiteral("1"));
    tag.SetGenre(QStringLiteral("Rock"));
    tag.SetComment(QStringLiteral("Kommentar"));
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    int fileCount = 1000;
    qint64 megabytes = 256;
    qint64 cliMegabytes = 500;
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--files"))
            fileCount = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--mb"))
            megabytes = args[i + 1].toLongLong();
        else if (args[i] == QLatin1String("--cli-mb"))
            cliMegabytes = args[i + 1].toLongLong();
    }
    QTemporaryDir dir;
    if (!dir.isValid() || fileCount <= 0 || megabytes <= 0) {
        std::fprintf(stderr, "tagbench: cannot start\n");
        return 1;
    }

    // Many small files, each with both tags.
    const QString model = dir.filePath(QStringLiteral("model.mp3"));
    writeAudio(model, 64 * 1024);
    {
        TID3v2Tag tag;
        tag.Clear();
        fill(tag, QStringLiteral("Titel"));
        TID3v1Tag v1;
        v1.SetTitle(QStringLiteral("Titel"));
        if (tag.WriteToFile(model) != MP3ERR_None || v1.WriteToFile(model) != MP3ERR_None) {
            std::fprintf(stderr, "tagbench: cannot write the model file\n");
            return 1;
        }
    }
    QStringList names;
    for (int i = 0; i < fileCount; ++i) {
        names << dir.filePath(QStringLiteral("small%1.mp3").arg(i));
        QFile::copy(model, names.last());
    }
    std::vector<double> readTimes;
    for (int r = 0; r < kRepeats; ++r) {
        QElapsedTimer timer;
        timer.start();
        int found = 0;
        for (const QString &name : std::as_const(names)) {
            TID3v1Tag v1;
            TID3v2Tag v2;
            found += v1.ReadFromFile(name) == MP3ERR_None && v2.ReadFromFile(name) == MP3ERR_None;
        }
        readTimes.push_back(ms(timer));
        if (found != fileCount) {
            std::fprintf(stderr, "tagbench: %d of %d files read\n", found, fileCount);
            return 1;
        }
    }
    const double read = median(readTimes);
    std::printf("read both tags of %d files: %.1f ms (%.1f us per file)\n", fileCount, read, read * 1000.0 / fileCount);

    // One large file.
    const QString large = dir.filePath(QStringLiteral("large.mp3"));
    const QString copy = dir.filePath(QStringLiteral("copy.mp3"));
    if (!writeAudio(large, megabytes << 20)) {
        std::fprintf(stderr, "tagbench: cannot write the large file\n");
        return 1;
    }
    {
        TID3v2Tag tag;
        tag.Clear();
        fill(tag, QStringLiteral("Groß"));
        tag.WriteToFile(large);
    }

    std::vector<double> inPlace, rewrite, cp;
    for (int r = 0; r < kRepeats; ++r) {
        TID3v2Tag tag;
        tag.ReadFromFile(large);
        tag.SetTitle(QStringLiteral("Im Platz %1").arg(r));
        QElapsedTimer timer;
        timer.start();
        const TMP3Error result = tag.WriteToFile(large);
        inPlace.push_back(ms(timer));
        if (result != MP3ERR_None || tag.PaddingSize() == 0) {
            std::fprintf(stderr, "tagbench: in-place write failed (%d)\n", int(result));
            return 1;
        }
    }
    for (int r = 0; r < kRepeats; ++r) {
        QElapsedTimer timer;
        timer.start();
        QProcess::execute(QStringLiteral("cp"), {large, copy});
        cp.push_back(ms(timer));
        QFile::remove(copy);

        TID3v2Tag tag;
        tag.ReadFromFile(large);
        // Without padding every write rewrites the file.
        tag.SetUsePadding(false);
        tag.SetTitle(QStringLiteral("Neu geschrieben %1").arg(r));
        timer.restart();
        const TMP3Error result = tag.WriteToFile(large);
        rewrite.push_back(ms(timer));
        if (result != MP3ERR_None) {
            std::fprintf(stderr, "tagbench: rewrite failed (%d)\n", int(result));
            return 1;
        }
    }
    std::printf("write a tag into a %lld MiB file in place: %.2f ms\n", static_cast<long long>(megabytes),
                median(inPlace));
    std::printf("write a tag into a %lld MiB file by rewrite: %.1f ms\n", static_cast<long long>(megabytes),
                median(rewrite));
    std::printf("copy the file with cp: %.1f ms\n", median(cp));
    std::printf("rewrite / cp: %.2f\n", median(rewrite) / median(cp));
    QFile::remove(large);

    // The whole command a user runs: each run's title is longer than the room the tag has left.
    const QString song = dir.filePath(QStringLiteral("song.mp3"));
    if (!writeAudio(song, cliMegabytes << 20)) {
        std::fprintf(stderr, "tagbench: cannot write the file for zindara-cli\n");
        return 1;
    }
    std::vector<double> cliTimes, cliCp, cliCpSync;
    for (int r = 0; r < kRepeats; ++r) {
        QElapsedTimer timer;
        timer.start();
        QProcess::execute(QStringLiteral("cp"), {song, copy});
        cliCp.push_back(ms(timer));
        QFile::remove(copy);
        // The command also flushes the new file to the disk before it takes the old one's place.
        timer.restart();
        QProcess::execute(QStringLiteral("sh"),
                          {QStringLiteral("-c"), QStringLiteral("cp \"$0\" \"$1\" && sync \"$1\""), song, copy});
        cliCpSync.push_back(ms(timer));
        QFile::remove(copy);

        const QString title(8000 * (r + 1), QLatin1Char('t'));
        timer.restart();
        const int exitCode = QProcess::execute(QStringLiteral(ZINDARA_CLI),
                                               {QStringLiteral("tag"), QStringLiteral("--title"), title, song});
        cliTimes.push_back(ms(timer));
        if (exitCode != 0) {
            std::fprintf(stderr, "tagbench: zindara-cli tag failed (%d)\n", exitCode);
            return 1;
        }
    }
    rusage children{};
    getrusage(RUSAGE_CHILDREN, &children);
    std::printf("zindara-cli tag, tag grows, %lld MiB file: %.1f ms\n", static_cast<long long>(cliMegabytes),
                median(cliTimes));
    std::printf("copy the same file with cp: %.1f ms\n", median(cliCp));
    std::printf("zindara-cli tag / cp: %.2f (goal: at most 1.3)\n", median(cliTimes) / median(cliCp));
    std::printf("cp and sync of the copy: %.1f ms; zindara-cli tag / (cp and sync): %.2f\n", median(cliCpSync),
                median(cliTimes) / median(cliCpSync));
    std::printf("peak memory of a child process: %.1f MiB\n", static_cast<double>(children.ru_maxrss) / 1024.0);
    return 0;
}
