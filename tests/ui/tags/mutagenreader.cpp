#include "mutagenreader.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

TMutagenReader::TMutagenReader()
{
    // Debian's own interpreter first: a python3 earlier on PATH may lack the system's packages.
    for (const QString &python :
         {QStringLiteral("/usr/bin/python3"), QStandardPaths::findExecutable(QStringLiteral("python3"))}) {
        if (python.isEmpty() || !QFile::exists(python))
            continue;
        QProcess probe;
        probe.start(python, {QStringLiteral("-c"), QStringLiteral("import mutagen.id3")});
        if (probe.waitForFinished(30000) && probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0) {
            FPython = python;
            return;
        }
    }
}

QJsonObject TMutagenReader::dump(const QString &file) const
{
    QProcess process;
    process.start(FPython, {QStringLiteral(ZINDARA_INTEROP_SCRIPT), QStringLiteral("dump"), file});
    EXPECT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    return QJsonDocument::fromJson(process.readAllStandardOutput()).object();
}

QString TMutagenReader::v2Text(const QJsonObject &dumped, const QString &id)
{
    for (const QJsonValue &frame :
         dumped.value(QStringLiteral("v2")).toObject().value(QStringLiteral("frames")).toArray())
        if (frame.toObject().value(QStringLiteral("id")).toString() == id) {
            QStringList texts;
            for (const QJsonValue &t : frame.toObject().value(QStringLiteral("text")).toArray())
                texts << t.toString();
            return texts.join(u'/');
        }
    return {};
}

QString TMutagenReader::v1Text(const QJsonObject &dumped, const QString &key)
{
    return dumped.value(QStringLiteral("v1")).toObject().value(key).toString();
}
