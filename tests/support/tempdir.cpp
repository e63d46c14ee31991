#include "support/tempdir.h"

#include <QDir>
#include <QFile>

void TempDirTest::SetUp()
{
    ASSERT_TRUE(dir.isValid());
    hadTmpDir = qEnvironmentVariableIsSet("TMPDIR");
    savedTmpDir = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(dir.path()));
}

void TempDirTest::TearDown()
{
    if (hadTmpDir)
        qputenv("TMPDIR", savedTmpDir);
    else
        qunsetenv("TMPDIR");
}

QString TempDirTest::path(const QString &name) const
{
    return QDir(dir.path()).filePath(name);
}

QString TempDirTest::writeFile(const QString &name, const QByteArray &bytes) const
{
    const QString full = path(name);
    QFile f(full);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << full.toStdString();
    EXPECT_EQ(f.write(bytes), bytes.size());
    return full;
}

QByteArray TempDirTest::readFile(const QString &fullPath)
{
    QFile f(fullPath);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}
