#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Every test gets its own folder, which is also the process's temporary folder while it runs,
// so working copies and temporary names of parallel tests never meet.
class TempDirTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Full path of `name` inside the test's folder.
    QString path(const QString &name) const;
    // Writes `bytes` to `name` inside the folder and returns the full path.
    QString writeFile(const QString &name, const QByteArray &bytes) const;
    static QByteArray readFile(const QString &fullPath);

    QTemporaryDir dir;

private:
    QByteArray savedTmpDir;
    bool hadTmpDir = false;
};
