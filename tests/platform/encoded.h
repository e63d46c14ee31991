#pragma once

#include <QString>
#include <QStringList>

// Real encoded MP3 files for the tests, made with ffmpeg (and lame), and an independent reading
// of their length. Empty results when the tools are missing.

// Encodes `seconds` of a sine tone to `target` with ffmpeg's MP3 encoder and `options`
// (for example "-b:a", "128k"); true on success.
bool encodeWithFfmpeg(const QString &target, double seconds, const QStringList &options);
// Encodes with lame from a WAV file made by ffmpeg; true on success.
bool encodeWithLame(const QString &target, const QString &wavScratch, double seconds,
                    const QStringList &options);
// The duration ffprobe reports in milliseconds, -1 on failure.
double ffprobeDurationMs(const QString &file);
// True when ffmpeg, ffprobe and lame are all on the path.
bool encodersAvailable();
