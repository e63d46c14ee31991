#include "encoded.h"

#include <QProcess>
#include <QStandardPaths>

namespace {

bool run(const QString &program, const QStringList &arguments, QByteArray *output = nullptr)
{
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return false;
    if (output)
        *output = p.readAllStandardOutput();
    return true;
}

QStringList sineInput(double seconds)
{
    return {QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-y"),
            QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
            QStringLiteral("sine=frequency=440:sample_rate=44100:duration=%1").arg(seconds)};
}

} // namespace

bool encodersAvailable()
{
    for (const char *tool : {"ffmpeg", "ffprobe", "lame"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            return false;
    return true;
}

bool encodeWithFfmpeg(const QString &target, double seconds, const QStringList &options)
{
    return run(QStringLiteral("ffmpeg"),
               sineInput(seconds) + QStringList{QStringLiteral("-codec:a"), QStringLiteral("libmp3lame")} +
                   options + QStringList{target});
}

bool encodeWithLame(const QString &target, const QString &wavScratch, double seconds, const QStringList &options)
{
    return run(QStringLiteral("ffmpeg"), sineInput(seconds) + QStringList{wavScratch})
           && run(QStringLiteral("lame"), QStringList{QStringLiteral("--silent")} + options + QStringList{wavScratch, target});
}

double ffprobeDurationMs(const QString &file)
{
    QByteArray out;
    if (!run(QStringLiteral("ffprobe"),
             {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
              QStringLiteral("format=duration"), QStringLiteral("-of"), QStringLiteral("csv=p=0"), file},
             &out))
        return -1;
    bool ok = false;
    const double seconds = out.trimmed().toDouble(&ok);
    return ok ? seconds * 1000.0 : -1;
}
