#include "tags/id3v2tag.h"

#include "support/fileutils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/statvfs.h>

const QByteArray DefaultRatingOwner = QByteArrayLiteral("Taglumen, http://www.taglumen.de");

TID3v2Tag::TID3v2Tag()
{
    Clear();
    fUsePadding = false;
}

TID3v2Tag::~TID3v2Tag() = default;

void TID3v2Tag::Clear()
{
    fFrames.clear();
    fExists = false;
    fVersion = TID3Version();
    fFlgUnsynch = fFlgCompression = fFlgExtended = fFlgExperimental = fFlgFooterPresent = fFlgUnknown = false;
    fPaddingSize = fTagSize = fDataSize = 0;
    fReadWhole = true;
    fUsePadding = true;
    fUseClusteredPadding = true;
}

qint64 TID3v2Tag::SyncsafeToInt(const QByteArray &bytes)
{
    if (bytes.size() < 4)
        return 0;
    const auto b = [&](int i) { return qint64(quint8(bytes.at(i))); };
    return (b(0) << 21) + (b(1) << 14) + (b(2) << 7) + b(3);
}

QByteArray TID3v2Tag::IntToSyncsafe(qint64 n)
{
    QByteArray out(4, '\0');
    out[0] = char((n >> 21) & 0x7F);
    out[1] = char((n >> 14) & 0x7F);
    out[2] = char((n >> 7) & 0x7F);
    out[3] = char(n & 0x7F);
    return out;
}

bool TID3v2Tag::ValidFrameIDChars(const QByteArray &id)
{
    for (char c : id)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')))
            return false;
    return true;
}

QString TID3v2Tag::GetTempTagFileName()
{
    const QString folder = TempOrdner();
    for (quint32 n = 0; n < 0x1000000; ++n) {
        const QString name =
            folder + QStringLiteral("TagTemp.t") + QString::number(n, 16).toUpper().rightJustified(2, QLatin1Char('0'));
        if (!QFileInfo::exists(name))
            return name;
    }
    return folder + QStringLiteral("TagTemp.t00");
}

qint64 TID3v2Tag::GetPaddingSize(const QString &Filename, bool Clustered, qint64 Total)
{
    qint64 cluster = 2048;
    // A name without a folder from the root has no drive of its own to ask.
    if (Clustered && !Filename.isEmpty() && QDir::isAbsolutePath(Filename)) {
        struct statvfs st {};
        if (statvfs(QFile::encodeName(Filename).constData(), &st) == 0 ||
            statvfs(QFile::encodeName(QFileInfo(Filename).absolutePath()).constData(), &st) == 0) {
            const qint64 size = st.f_frsize != 0 ? qint64(st.f_frsize) : qint64(st.f_bsize);
            if (size > 0)
                cluster = size;
        }
    }
    return cluster * (Total / cluster + 1) - Total;
}

void TID3v2Tag::SetCharCode(const TCodePage &Value)
{
    fCharCode = Value;
    for (const auto &frame : fFrames)
        frame->SetCharCode(Value);
}

void TID3v2Tag::SetAutoCorrectCodepage(bool Value)
{
    fAutoCorrectCodepage = Value;
    for (const auto &frame : fFrames)
        frame->SetAutoCorrectCodepage(Value);
}
