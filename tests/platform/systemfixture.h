#pragma once

#include "support/tempdir.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <sys/resource.h>
#include <utility>

// A temporary folder that also holds the registry, the runtime folder and the user's XDG
// folders, so nothing of the real user is read or written.
class SystemTest : public TempDirTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Sets an environment variable until the test ends.
    void setEnv(const char *name, const QString &value);
    QString registryDir() const { return path(QStringLiteral("reg")); }
    QString runtimeDir() const { return path(QStringLiteral("run")); }
    // Writes an executable shell script and returns its full path.
    QString writeScript(const QString &name, const QByteArray &body) const;

private:
    QList<std::pair<QByteArray, std::pair<bool, QByteArray>>> saved;
};

// Files may grow to `limit` bytes only while it lives, as on a disk that is almost full.
class DateiGrenze {
public:
    explicit DateiGrenze(rlim_t limit);
    ~DateiGrenze();
    DateiGrenze(const DateiGrenze &) = delete;
    DateiGrenze &operator=(const DateiGrenze &) = delete;

private:
    rlimit saved{};
    void (*oldHandler)(int) = nullptr;
};
