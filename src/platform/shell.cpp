#include "platform/shell.h"

#include "platform/desktopentry.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QSysInfo>
#include <QThread>
#include <QUrl>
#include <QWindow>
#include <cerrno>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char **environ;

namespace {

bool hasGui()
{
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr;
}

QString executablePath(const QString &program)
{
    if (program.contains(QLatin1Char('/'))) {
        const QFileInfo info(QDir::current().absoluteFilePath(program));
        return info.isFile() ? info.absoluteFilePath() : QString();
    }
    return QStandardPaths::findExecutable(program);
}

bool isProgramFile(const QFileInfo &info)
{
    if (!info.isFile() || !info.isExecutable())
        return false;
    // Documents from Windows drives often carry the execute bit; only real programs are run.
    const QMimeType type = QMimeDatabase().mimeTypeForFile(info);
    for (const char *name : {"application/x-executable", "application/x-pie-executable", "application/x-sharedlib",
                             "application/x-shellscript"}) {
        if (type.inherits(QString::fromLatin1(name)))
            return true;
    }
    return false;
}

QStringList mimeListFiles()
{
    QStringList files;
    const QStringList configDirs = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    const QStringList appDirs = QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
    for (const QString &dir : configDirs)
        files << dir + QStringLiteral("/mimeapps.list");
    for (const QString &dir : appDirs)
        files << dir + QStringLiteral("/mimeapps.list");
    for (const QString &dir : appDirs)
        files << dir + QStringLiteral("/defaults.list");
    return files;
}

} // namespace

QString ProgrammOrdner()
{
    return QFileInfo(QStringLiteral("/opt")).isDir() ? QStringLiteral("/opt/") : QString();
}

bool IsWindows64()
{
    return QSysInfo::buildCpuArchitecture() == QLatin1String("i386")
           && QSysInfo::currentCpuArchitecture() == QLatin1String("x86_64");
}

void ShellOeffnen(QObject *, const QString &file, const QString &parameters, int, const QString &,
                  const QString &folder)
{
    if (file.isEmpty())
        return;
    QUrl url(file);
    static const QStringList schemes{QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("mailto"),
                                     QStringLiteral("ftp"), QStringLiteral("file")};
    if (!schemes.contains(url.scheme().toLower())) {
        const QString path = QDir(folder.isEmpty() ? QDir::currentPath() : folder).absoluteFilePath(file);
        if (isProgramFile(QFileInfo(path))) {
            QProcess::startDetached(path, QProcess::splitCommand(parameters), folder);
            return;
        }
        url = QUrl::fromLocalFile(path);
    }
    // Without a desktop integration (or a GUI) the freedesktop opener does the same.
    if (!hasGui() || !QDesktopServices::openUrl(url))
        QProcess::startDetached(QStringLiteral("xdg-open"),
                                {url.isLocalFile() ? url.toLocalFile() : QString::fromUtf8(url.toEncoded())});
}

QStringList ZugeordnetesProgramm(const QString &file)
{
    const QMimeType type = QMimeDatabase().mimeTypeForFile(file);
    QStringList types{type.name()};
    types += type.allAncestors();
    const QStringList lists = mimeListFiles();
    for (const QString &mime : types) {
        for (const QString &list : lists) {
            for (const QString &id : DesktopEintragWert(list, mime, QStringLiteral("Default Applications"))
                                         .split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
                const QString desktop = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, id.trimmed());
                if (desktop.isEmpty())
                    continue;
                const QStringList command = ExecZerlegen(DesktopEintragWert(desktop, QStringLiteral("Exec")));
                if (!command.isEmpty() && !executablePath(command.first()).isEmpty())
                    return command;
            }
        }
    }
    return {};
}

bool ProgrammStarten(const QString &file, int &code, const QString &program, qint32 timeout, bool,
                     const QString &folder, const QString &parameters)
{
    QStringList command;
    if (!program.isEmpty()) {
        command << program;
    } else {
        command = ZugeordnetesProgramm(file);
        if (command.isEmpty()) {
            code = SE_ERR_NOASSOC;
            return false;
        }
    }
    code = 32;
    const QString exe = executablePath(command.first());
    if (exe.isEmpty()) {
        code = ENOENT;
        return false;
    }
    if (!file.isEmpty())
        command << file;
    command += QProcess::splitCommand(parameters);

    std::vector<QByteArray> encoded;
    encoded.push_back(QFile::encodeName(exe));
    for (qsizetype i = 1; i < command.size(); ++i)
        encoded.push_back(command.at(i).toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &arg : encoded)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const QByteArray dir = QFile::encodeName(folder);
    if (!folder.isEmpty())
        posix_spawn_file_actions_addchdir_np(&actions, dir.constData());
    pid_t pid = 0;
    const int error = posix_spawn(&pid, argv.front(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        code = error;
        return false;
    }

    const quint64 limit = quint32(timeout);
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (done < 0 && errno != EINTR)
            return false;
        if (quint64(clock.elapsed()) >= limit)
            break;
        QThread::msleep(25);
    }
    // Still running: it goes on by itself; collect its end so it leaves no zombie.
    std::thread([pid] {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return false;
}

bool VordergrundErzwingen(QWindow *W)
{
    if (!W || !hasGui())
        return false;
    if (W->windowStates() & Qt::WindowMinimized)
        W->setWindowStates(W->windowStates() & ~Qt::WindowMinimized);
    if (W->isActive())
        return true;
    W->raise();
    W->requestActivate();
    // The window system answers asynchronously; give it a moment.
    QElapsedTimer clock;
    clock.start();
    while (!W->isActive() && clock.elapsed() < 100) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (!W->isActive())
            QThread::msleep(1);
    }
    return W->isActive();
}

static QWindow *windowTitled(const QString &caption)
{
    if (!hasGui())
        return nullptr;
    for (QWindow *w : QGuiApplication::topLevelWindows()) {
        if (w->isVisible() && w->title() == caption)
            return w;
    }
    return nullptr;
}

bool FensterAktivieren(const QString &caption, bool wait)
{
    QWindow *w = windowTitled(caption);
    if (!w)
        return false;
    VordergrundErzwingen(w);
    while (wait && windowTitled(caption)) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(10);
    }
    return true;
}

bool TextDateiZeigen(const QString &file, bool wait)
{
    const QFileInfo info(file);
    if (!info.isFile())
        return false;
    const QString path = info.absoluteFilePath();
    QString editor;
    QStringList command = ZugeordnetesProgramm(path);
    if (command.isEmpty()) {
        for (const char *name : {"gnome-text-editor", "gedit", "kate", "kwrite", "mousepad", "pluma", "xed",
                                 "featherpad", "leafpad"}) {
            editor = QStandardPaths::findExecutable(QString::fromLatin1(name));
            if (!editor.isEmpty())
                break;
        }
        if (editor.isEmpty())
            return false;
        command = QStringList{editor};
    }
    if (!wait)
        return QProcess::startDetached(command.first(), command.mid(1) << path);
    int code = 0;
    return ProgrammStarten(path, code, editor, -1, false, QString(), QString());
}
