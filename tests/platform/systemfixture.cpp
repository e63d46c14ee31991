#include "systemfixture.h"

#include <QDir>
#include <QFile>
#include <csignal>

void SystemTest::SetUp()
{
    TempDirTest::SetUp();
    setEnv("ZINDARA_REGISTRY_DIR", registryDir());
    setEnv("ZINDARA_RUNTIME_DIR", runtimeDir());
    setEnv("XDG_CONFIG_HOME", path(QStringLiteral("config")));
    setEnv("XDG_CONFIG_DIRS", path(QStringLiteral("etc-xdg")));
    setEnv("XDG_DATA_HOME", path(QStringLiteral("data")));
    // The system's folders stay behind the test's own, for the MIME types.
    setEnv("XDG_DATA_DIRS", path(QStringLiteral("usr-share")) + QStringLiteral(":/usr/share"));
}

void SystemTest::TearDown()
{
    for (auto it = saved.crbegin(); it != saved.crend(); ++it) {
        if (it->second.first)
            qputenv(it->first.constData(), it->second.second);
        else
            qunsetenv(it->first.constData());
    }
    saved.clear();
    TempDirTest::TearDown();
}

void SystemTest::setEnv(const char *name, const QString &value)
{
    saved.append({QByteArray(name), {qEnvironmentVariableIsSet(name), qgetenv(name)}});
    qputenv(name, QFile::encodeName(value));
}

QString SystemTest::writeScript(const QString &name, const QByteArray &body) const
{
    const QString full = writeFile(name, "#!/bin/sh\n" + body);
    QFile::setPermissions(full, QFile::permissions(full) | QFileDevice::ExeOwner);
    return full;
}

DateiGrenze::DateiGrenze(rlim_t limit)
{
    getrlimit(RLIMIT_FSIZE, &saved);
    // A write past the limit then fails instead of ending the test program.
    oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit lowered = saved;
    lowered.rlim_cur = limit;
    setrlimit(RLIMIT_FSIZE, &lowered);
}

DateiGrenze::~DateiGrenze()
{
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
}
