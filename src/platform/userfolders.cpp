#include "platform/userfolders.h"

#include <QStandardPaths>
#include <optional>

namespace {

std::optional<QString> arbeitsordner;
std::optional<QString> sendToLink;

QString withSlash(const QString &folder)
{
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')))
        return folder;
    return folder + QLatin1Char('/');
}

} // namespace

QString SpezialOrdner(QObject *, int csidl)
{
    QStandardPaths::StandardLocation location;
    switch (csidl) {
    case CSIDL_PERSONAL:
        location = QStandardPaths::DocumentsLocation;
        break;
    case CSIDL_SENDTO:
        location = QStandardPaths::ApplicationsLocation;
        break;
    case CSIDL_MYMUSIC:
        location = QStandardPaths::MusicLocation;
        break;
    case CSIDL_DESKTOPDIRECTORY:
        location = QStandardPaths::DesktopLocation;
        break;
    case CSIDL_APPDATA:
        location = QStandardPaths::GenericDataLocation;
        break;
    default:
        return QString();
    }
    return withSlash(QStandardPaths::writableLocation(location));
}

QString Arbeitsordner()
{
    if (!arbeitsordner)
        arbeitsordner = SpezialOrdner(nullptr, CSIDL_PERSONAL);
    return *arbeitsordner;
}

void ArbeitsordnerSetzen(const QString &folder)
{
    arbeitsordner = withSlash(folder);
}

QString SendToLink()
{
    if (!sendToLink) {
        const QString folder = SpezialOrdner(nullptr, CSIDL_SENDTO);
        // Without the folder the bare name would land in the current folder: no entry then.
        sendToLink = folder.isEmpty() ? QString() : folder + QStringLiteral("zindara.desktop");
    }
    return *sendToLink;
}

void ProzessTexteSetzen()
{
    arbeitsordner.reset();
    sendToLink.reset();
    Arbeitsordner();
    SendToLink();
}

void ProzessTexteLoeschen()
{
    arbeitsordner = QString();
    sendToLink = QString();
}
