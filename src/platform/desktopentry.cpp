#include "platform/desktopentry.h"

#include "platform/userfolders.h"
#include "support/savewhole.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

bool needsQuotes(const QString &arg)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    if (arg.isEmpty())
        return true;
    for (const QChar c : arg) {
        if (reserved.contains(c))
            return true;
    }
    return false;
}

} // namespace

QString ExecZusammensetzen(const QStringList &programAndArguments)
{
    QStringList parts;
    for (const QString &arg : programAndArguments) {
        QString part;
        if (needsQuotes(arg)) {
            part = QLatin1Char('"');
            for (const QChar c : arg) {
                if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
                    part += QLatin1Char('\\');
                part += c;
            }
            part += QLatin1Char('"');
        } else {
            part = arg;
        }
        parts << part.replace(QLatin1Char('%'), QLatin1String("%%"));
    }
    return parts.join(QLatin1Char(' '));
}

QStringList ExecZerlegen(const QString &exec)
{
    QStringList args;
    QString current;
    bool inArg = false;
    bool quoted = false;
    bool fieldCode = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec.at(i);
        if (quoted) {
            if (i + 1 < exec.size()
                && (c == QLatin1Char('\\') || (c == QLatin1Char('%') && exec.at(i + 1) == QLatin1Char('%')))) {
                current += exec.at(++i);
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                current += c;
            }
        } else if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n')) {
            if (inArg && !fieldCode)
                args << current;
            current.clear();
            inArg = fieldCode = false;
        } else if (c == QLatin1Char('"')) {
            quoted = inArg = true;
        } else if (c == QLatin1Char('%') && i + 1 < exec.size()) {
            const QChar code = exec.at(++i);
            inArg = true;
            if (code == QLatin1Char('%'))
                current += code;
            else
                fieldCode = true;
        } else {
            current += c;
            inArg = true;
        }
    }
    if (inArg && !fieldCode)
        args << current;
    return args;
}

QString DesktopWertLesen(const QString &raw)
{
    QString out;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        QChar c = raw.at(i);
        if (c == QLatin1Char('\\') && i + 1 < raw.size()) {
            const QChar e = raw.at(++i);
            c = e == QLatin1Char('s')   ? QLatin1Char(' ')
                : e == QLatin1Char('n') ? QLatin1Char('\n')
                : e == QLatin1Char('t') ? QLatin1Char('\t')
                : e == QLatin1Char('r') ? QLatin1Char('\r')
                                        : e;
        }
        out += c;
    }
    return out;
}

QString DesktopWertSchreiben(const QString &value)
{
    QString out;
    for (const QChar c : value) {
        if (c == QLatin1Char('\\'))
            out += QLatin1String("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else if (c == QLatin1Char('\t'))
            out += QLatin1String("\\t");
        else if (c == QLatin1Char('\r'))
            out += QLatin1String("\\r");
        else
            out += c;
    }
    if (out.startsWith(QLatin1Char(' ')))
        out.replace(0, 1, QLatin1String("\\s"));
    return out;
}

QString DesktopEintragWert(const QString &desktopFile, const QString &key, const QString &group)
{
    QFile file(desktopFile);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    bool inEntry = false;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (QString line : lines) {
        line = line.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inEntry = line == QLatin1Char('[') + group + QLatin1Char(']');
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (inEntry && eq > 0 && line.left(eq).trimmed() == key)
            return DesktopWertLesen(line.mid(eq + 1).trimmed());
    }
    return QString();
}

bool VerknuepfungAnlegen(const QString &link, const QString &target, const QString &arguments, int, int,
                         const QString &folder, const QString &description)
{
    if (link.isEmpty() || target.isEmpty())
        return false;
    const QFileInfo linkInfo(link);
    if (!linkInfo.isAbsolute() || !QDir().mkpath(linkInfo.absolutePath()))
        return false;
    QString name = linkInfo.completeBaseName();
    if (!name.isEmpty())
        name[0] = name.at(0).toUpper();
    const QString workFolder = folder.isEmpty() ? QFileInfo(target).absolutePath() : folder;

    QStringList exec{target};
    exec += QProcess::splitCommand(arguments);
    QString text = QStringLiteral("[Desktop Entry]\nType=Application\nName=%1\n").arg(DesktopWertSchreiben(name));
    if (!description.isEmpty())
        text += QStringLiteral("Comment=%1\n").arg(DesktopWertSchreiben(description));
    text += QStringLiteral("Exec=%1 %F\n").arg(DesktopWertSchreiben(ExecZusammensetzen(exec)));
    text += QStringLiteral("Path=%1\n").arg(DesktopWertSchreiben(workFolder));
    text += QStringLiteral("MimeType=audio/mpeg;\nTerminal=false\nCategories=AudioVideo;Audio;\n");

    // Replaced without asking, also when it was made read-only.
    if (linkInfo.exists())
        QFile::setPermissions(link, QFile::permissions(link) | QFileDevice::WriteOwner);
    return GanzSpeichern(link, text.toUtf8(),
                         QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                             | QFileDevice::ReadOther);
}

bool EintragStartetProgramm(const QString &desktopFile, const QString &program)
{
    const QStringList exec = ExecZerlegen(DesktopEintragWert(desktopFile, QStringLiteral("Exec")));
    if (exec.isEmpty())
        return false;
    const QString started =
        exec.constFirst().contains(QLatin1Char('/')) ? exec.constFirst() : QStandardPaths::findExecutable(exec.constFirst());
    const QString target = QFileInfo(program).canonicalFilePath();
    return !started.isEmpty() && !target.isEmpty() && QFileInfo(started).canonicalFilePath() == target;
}

QString InstallierterEintrag(const QString &link)
{
    if (link.isEmpty())
        return QString();
    const QString own = QFileInfo(link).absoluteFilePath();
    // The menu shows the first file of a name along the data folders; the user's own comes first.
    const QStringList found = QStandardPaths::locateAll(QStandardPaths::ApplicationsLocation, QFileInfo(link).fileName());
    for (const QString &file : found) {
        if (QFileInfo(file).absoluteFilePath() != own)
            return file;
    }
    return QString();
}

bool SendToVerknuepfungErneuern()
{
    const QString link = SendToLink();
    const QString self = QCoreApplication::applicationFilePath();
    const QString installed = InstallierterEintrag(link);
    if (!installed.isEmpty() && EintragStartetProgramm(installed, self)) {
        // The package's entry of the same name already starts this program; ours would hide
        // its icon and texts, and one left by an earlier copy would start that copy instead.
        return !QFileInfo::exists(link) || QFile::remove(link);
    }
    return VerknuepfungAnlegen(link, self, QString(), 1, 0, QString(), QString());
}
