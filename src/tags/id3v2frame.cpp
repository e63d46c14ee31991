#include "tags/id3v2frame.h"

#include <QBuffer>
#include <QFileDevice>

const std::array<TID3v2FrameIDEntry, IDv2_SIZE + 1> ID3v2KnownFrames = {{
    {{"XXX", "XXXX", "XXXX"}, "Unknown/experimental Frame"},
    {{"XMP", "XMP3", "XMP3"}, "Taglumen experimental Frame"},
    {{"TP1", "TPE1", "TPE1"}, "Lead performer(s)/Soloist(s)"},
    {{"TT2", "TIT2", "TIT2"}, "Title/Songname/Content description"},
    {{"TAL", "TALB", "TALB"}, "Album/Movie/Show title"},
    {{"TYE", "TYER", "TDRC"}, "Year"},
    {{"TCO", "TCON", "TCON"}, "Content type"},
    {{"TRK", "TRCK", "TRCK"}, "Track number/Position in set"},
    {{"TCM", "TCOM", "TCOM"}, "Composer"},
    {{"TOA", "TOPE", "TOPE"}, "Original artist(s)/performer(s)"},
    {{"TCR", "TCOP", "TCOP"}, "Copyright message"},
    {{"TEN", "TENC", "TENC"}, "Encoded by"},
    {{"TLA", "TLAN", "TLAN"}, "Language(s)"},
    {{"TSS", "TSSE", "TSSE"}, "Software/Hardware and settings used for encoding"},
    {{"TMT", "TMED", "TMED"}, "Media type"},
    {{"TLE", "TLEN", "TLEN"}, "Length"},
    {{"TPB", "TPUB", "TPUB"}, "Publisher"},
    {{"TOF", "TOFN", "TOFN"}, "Original filename"},
    {{"TOL", "TOLY", "TOLY"}, "Original lyricist(s)/text writer(s)"},
    {{"TOR", "TORY", "TDOR"}, "Original release year"},
    {{"TOT", "TOAL", "TOAL"}, "Original album/movie/show title"},
    {{"TBP", "TBPM", "TBPM"}, "BPM (beats per minute)"},
    {{"TDY", "TDLY", "TDLY"}, "Playlist delay"},
    {{"TFT", "TFLT", "TFLT"}, "File type"},
    {{"TKE", "TKEY", "TKEY"}, "Initial key"},
    {{"TP2", "TPE2", "TPE2"}, "Band/orchestra/accompaniment"},
    {{"TP3", "TPE3", "TPE3"}, "Conductor/performer refinement"},
    {{"TP4", "TPE4", "TPE4"}, "Interpreted, remixed, or otherwise modified by"},
    {{"TPA", "TPOS", "TPOS"}, "Part of a set"},
    {{"TRC", "TSRC", "TSRC"}, "ISRC (international standard recording code)"},
    {{"TT1", "TIT1", "TIT1"}, "Content group description"},
    {{"TT3", "TIT3", "TIT3"}, "Subtitle/Description refinement"},
    {{"TXT", "TEXT", "TEXT"}, "Lyricist/Text writer"},
    {{"---", "TOWN", "TOWN"}, "File owner/licensee"},
    {{"---", "TRSN", "TRSN"}, "Internet radio station name"},
    {{"---", "TRSO", "TRSO"}, "Internet radio station owner"},
    {{"---", "----", "TDEN"}, "Encoding time"},
    {{"---", "----", "TDRC"}, "Recording time"},
    {{"---", "----", "TDRL"}, "Release time"},
    {{"---", "----", "TDTG"}, "Tagging time"},
    {{"---", "----", "TMCL"}, "Musician credits list"},
    {{"---", "----", "TMOO"}, "Mood"},
    {{"---", "----", "TPRO"}, "Produced notice"},
    {{"---", "----", "TSOA"}, "Album sort order"},
    {{"---", "----", "TSOP"}, "Performer sort order"},
    {{"---", "----", "TSOT"}, "Title sort order"},
    {{"---", "----", "TSST"}, "Set subtitle"},
    {{"TXX", "TXXX", "TXXX"}, "User defined text information frame"},
    {{"WAF", "WOAF", "WOAF"}, "Official audio file webpage"},
    {{"WAR", "WOAR", "WOAR"}, "Official artist/performer webpage"},
    {{"WAS", "WOAS", "WOAS"}, "Official audio source webpage"},
    {{"WCM", "WCOM", "WCOM"}, "Commercial information"},
    {{"WCP", "WCOP", "WCOP"}, "Copyright/Legal information"},
    {{"WPB", "WPUB", "WPUB"}, "Publishers official webpage"},
    {{"---", "WORS", "WORS"}, "Official internet radio station homepage"},
    {{"---", "WPAY", "WPAY"}, "Payment"},
    {{"PIC", "APIC", "APIC"}, "Attached picture"},
    {{"ULT", "USLT", "USLT"}, "Unsychronized lyric/text transcription"},
    {{"COM", "COMM", "COMM"}, "Comments"},
    {{"POP", "POPM", "POPM"}, "Popularimeter"},
    {{"WXX", "WXXX", "WXXX"}, "User defined URL link frame"},
    {{"BUF", "RBUF", "RBUF"}, "Recommended buffer size"},
    {{"CNT", "PCNT", "PCNT"}, "Play counter"},
    {{"CRA", "AENC", "AENC"}, "Audio encryption"},
    {{"ETC", "ETCO", "ETCO"}, "Event timing codes"},
    {{"EQU", "EQUA", "EQU2"}, "Equalization"},
    {{"GEO", "GEOB", "GEOB"}, "General encapsulated object"},
    {{"LNK", "LINK", "LINK"}, "Linked information"},
    {{"MCI", "MCDI", "MCDI"}, "Music CD identifier"},
    {{"MLL", "MLLT", "MLLT"}, "MPEG location lookup table"},
    {{"REV", "RVRB", "RVRB"}, "Reverb"},
    {{"RVA", "RVAD", "RVA2"}, "Relative volume adjustment"},
    {{"SLT", "SYLT", "SYLT"}, "Synchronized lyric/text"},
    {{"STC", "SYTC", "SYTC"}, "Synchronized tempo codes"},
    {{"UFI", "UFID", "UFID"}, "Unique file identifier"},
    {{"---", "COMR", "COMR"}, "Commercial frame"},
    {{"---", "ENCR", "ENCR"}, "Encryption method registration"},
    {{"---", "GRID", "GRID"}, "Group identification registration"},
    {{"---", "OWNE", "OWNE"}, "Ownership frame"},
    {{"PRV", "PRIV", "PRIV"}, "Private frame"},
    {{"---", "POSS", "POSS"}, "Position synchronisation frame"},
    {{"---", "USER", "USER"}, "Terms of use"},
    {{"---", "----", "ASPI"}, "Audio seek point index"},
    {{"---", "----", "SEEK"}, "Seek frame"},
    {{"---", "----", "SIGN"}, "Signature frame"},
    {{"IPL", "IPLS", "TIPL"}, "Involved people list"},
    {{"CRM", "----", "----"}, "Encrypted meta frame"},
    {{"TRD", "TRDA", "----"}, "Recording dates"},
    {{"TDA", "TDAT", "----"}, "Date"},
    {{"TIM", "TIME", "----"}, "Time"},
    {{"TSI", "TSIZ", "----"}, "Size"},
}};

namespace {

// Flag indices into the masks below.
enum {
    flTagAlter,
    flFileAlter,
    flReadOnly,
    flUnknownStatus,
    flCompression,
    flEncryption,
    flGrouping,
    flUnsync,
    flDataLength,
    flUnknownFormat
};
constexpr quint8 kMasksV3[10] = {0x80, 0x40, 0x20, 0x1F, 0x80, 0x40, 0x20, 0x00, 0x00, 0x1F};
constexpr quint8 kMasksV4[10] = {0x40, 0x20, 0x10, 0x8F, 0x08, 0x04, 0x40, 0x02, 0x01, 0xB0};

quint8 byteAt(const QByteArray &a, qint64 i) { return quint8(a.at(i)); }

QByteArray readExactly(QIODevice &stream, qint64 n)
{
    // Checked first, so a size field that lies never makes us allocate more than the stream has.
    if (n < 0 || (!stream.isSequential() && n > stream.size() - stream.pos()))
        throw EID3v2ReadError("Stream read error");
    QByteArray bytes = stream.read(n);
    if (bytes.size() != n)
        throw EID3v2ReadError("Stream read error");
    return bytes;
}

QByteArray readAllFromStart(QIODevice *stream)
{
    if (stream == nullptr)
        return {};
    stream->seek(0);
    return stream->readAll();
}

void appendBE32(QByteArray &a, quint32 v)
{
    a.append(char(v >> 24)).append(char(v >> 16)).append(char(v >> 8)).append(char(v));
}

QString utf16(const QByteArray &bytes, qint64 from, qint64 count, bool bigEndian)
{
    QString s(count, Qt::Uninitialized);
    for (qint64 i = 0; i < count; ++i) {
        const quint8 a = byteAt(bytes, from + 2 * i), b = byteAt(bytes, from + 2 * i + 1);
        s[i] = QChar(bigEndian ? char16_t(a << 8 | b) : char16_t(b << 8 | a));
    }
    return s;
}

} // namespace

QString TrimBlanks(const QString &text)
{
    const auto blank = [](QChar c) { return c.unicode() <= 32; };
    qsizetype b = 0, e = text.size();
    while (b < e && blank(text.at(b)))
        ++b;
    while (e > b && blank(text.at(e - 1)))
        --e;
    return text.mid(b, e - b);
}

QByteArray ID3v2FrameIDString(TFrameIDs id, int version)
{
    if (version < 2 || version > 4 || id < IDv2_UNKNOWN || id > IDv2_SIZE)
        return {};
    return QByteArray(ID3v2KnownFrames[id].ID[version - 2]);
}

quint8 ByteToTextEncoding(quint8 value)
{
    return value >= 1 && value <= 3 ? value : 0;
}

bool UnsyncBytes(const QByteArray &source, QByteArray &destination)
{
    destination.clear();
    destination.reserve(source.size() + source.size() / 16);
    bool inserted = false;
    const qsizetype n = source.size();
    for (qsizetype i = 0; i < n; ++i) {
        const quint8 b = byteAt(source, i);
        destination.append(char(b));
        if (b == 0xFF && (i + 1 == n || byteAt(source, i + 1) == 0x00 || byteAt(source, i + 1) >= 0xE0)) {
            destination.append('\0');
            inserted = true;
        }
    }
    return inserted;
}

bool UnsyncStream(QIODevice &source, QIODevice &destination)
{
    QByteArray out;
    const bool inserted = UnsyncBytes(source.readAll(), out);
    destination.write(out);
    return inserted;
}

QByteArray DeUnsyncBytes(const QByteArray &source)
{
    QByteArray out;
    out.reserve(source.size());
    for (qsizetype i = 0; i < source.size(); ++i) {
        out.append(source.at(i));
        if (byteAt(source, i) == 0xFF && i + 1 < source.size() && source.at(i + 1) == 0)
            ++i;
    }
    return out;
}

void SetStreamEnd(QIODevice &stream)
{
    const qint64 pos = stream.pos();
    if (auto *file = qobject_cast<QFileDevice *>(&stream)) {
        file->flush();
        file->resize(pos);
    } else if (auto *buffer = qobject_cast<QBuffer *>(&stream)) {
        buffer->buffer().truncate(pos);
        buffer->seek(pos);
    }
}

TID3v2Frame::TID3v2Frame(const QByteArray &frameID, quint8 version)
    : fVersion(version), fIDString(frameID), fHeader(version == 2 ? 6 : 10, '\0')
{
    if (!ValidFrameID(fIDString))
        fIDString = version == 2 ? QByteArray("XXX") : QByteArray("XXXX");
    fHeader.replace(0, fIDString.size(), fIDString);
}

bool TID3v2Frame::ValidFrameID(const QByteArray &id) const
{
    if (id.size() != (fVersion == 2 ? 3 : 4))
        return false;
    for (char c : id)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')))
            return false;
    return true;
}

quint8 TID3v2Frame::FlagMask(int flag) const
{
    if (fVersion == 3)
        return kMasksV3[flag];
    if (fVersion == 4)
        return kMasksV4[flag];
    return 0;
}

bool TID3v2Frame::FlagSet(int flag) const
{
    if (fVersion == 2)
        return false;
    if (fVersion != 3 && fVersion != 4)
        return true;
    return (byteAt(fHeader, flag <= flUnknownStatus ? 8 : 9) & FlagMask(flag)) != 0;
}

void TID3v2Frame::SetFlag(int flag)
{
    if (fHeader.size() < 10)
        return;
    const int at = flag <= flUnknownStatus ? 8 : 9;
    fHeader[at] = char(byteAt(fHeader, at) | FlagMask(flag));
}

void TID3v2Frame::UnSetFlag(int flag)
{
    if (fHeader.size() < 10)
        return;
    const int at = flag <= flUnknownStatus ? 8 : 9;
    fHeader[at] = char(byteAt(fHeader, at) & ~FlagMask(flag));
}

// These two answer whether the frame survives an alteration, so a clear bit means true.
bool TID3v2Frame::FlagTagAlterPreservation() const
{
    return (fVersion == 3 || fVersion == 4) ? !FlagSet(flTagAlter) : true;
}

bool TID3v2Frame::FlagFileAlterPreservation() const
{
    return (fVersion == 3 || fVersion == 4) ? !FlagSet(flFileAlter) : true;
}

bool TID3v2Frame::FlagReadOnly() const { return FlagSet(flReadOnly); }
bool TID3v2Frame::FlagCompression() const { return FlagSet(flCompression); }
bool TID3v2Frame::FlagEncryption() const { return FlagSet(flEncryption); }
bool TID3v2Frame::FlagGroupingIndentity() const { return FlagSet(flGrouping); }
bool TID3v2Frame::FlagUnsynchronisation() const { return FlagSet(flUnsync); }
bool TID3v2Frame::FlagDataLengthIndicator() const { return FlagSet(flDataLength); }
bool TID3v2Frame::FlagUnknownStatus() const { return FlagSet(flUnknownStatus); }
bool TID3v2Frame::FlagUnknownEncoding() const { return FlagSet(flUnknownFormat); }

void TID3v2Frame::SetFlagGroupingIndentity(bool value)
{
    if (value)
        SetFlag(flGrouping);
    else
        UnSetFlag(flGrouping);
}

bool TID3v2Frame::HasGroupByte() const
{
    return (fVersion == 3 || fVersion == 4) && FlagSet(flGrouping);
}

void TID3v2Frame::ResetFlagsAfterChange()
{
    for (int f : {flReadOnly, flUnknownStatus, flCompression, flEncryption, flUnsync, flDataLength, flUnknownFormat})
        UnSetFlag(f);
    // With those flags gone the new content is plain, so the frame can be parsed again.
    fParsable = true;
}

qint64 TID3v2Frame::HeaderContentSize() const
{
    const auto b = [this](int i) { return qint64(byteAt(fHeader, i)); };
    if (fVersion == 2)
        return b(3) << 16 | b(4) << 8 | b(5);
    if (fVersion == 4)
        return (b(4) << 21) + (b(5) << 14) + (b(6) << 7) + b(7);
    return b(4) << 24 | b(5) << 16 | b(6) << 8 | b(7);
}

void TID3v2Frame::UpdateHeaderSize(qint64 n)
{
    if (n < 0)
        n = fData.size();
    if (fVersion == 2) {
        fHeader[3] = char(n / 65536);
        fHeader[4] = char((n % 65536) / 256);
        fHeader[5] = char(n % 256);
    } else if (fVersion == 4) {
        fHeader[4] = char(n / (1 << 21));
        fHeader[5] = char((n % (1 << 21)) / (1 << 14));
        fHeader[6] = char((n % (1 << 14)) / (1 << 7));
        fHeader[7] = char(n % (1 << 7));
    } else {
        fHeader[4] = char(n >> 24);
        fHeader[5] = char(n >> 16);
        fHeader[6] = char(n >> 8);
        fHeader[7] = char(n);
    }
}

QByteArray TID3v2Frame::ReadDeUnsynchronised(QIODevice &aStream, qint64 n)
{
    return DeUnsyncBytes(readExactly(aStream, n));
}

void TID3v2Frame::ReadFromStream(QIODevice &aStream)
{
    fParsable = true;
    const int rest = fVersion == 2 ? 3 : 6;
    fHeader.replace(fIDString.size(), rest, readExactly(aStream, rest));
    qint64 size = HeaderContentSize();
    const quint8 format = fHeader.size() >= 10 ? byteAt(fHeader, 9) : 0;
    if (fVersion == 3 && (format & 0xDF) != 0)
        fParsable = false;
    if (fVersion == 4 && (format & 0xBC) != 0)
        fParsable = false;

    QBuffer unsynced;
    QIODevice *source = &aStream;
    if (fVersion == 4 && (format & 0x02) != 0) {
        unsynced.setData(ReadDeUnsynchronised(aStream, size));
        unsynced.open(QIODevice::ReadOnly);
        size = unsynced.size();
        source = &unsynced;
    }

    if (fParsable && (fVersion == 3 || fVersion == 4)) {
        const bool grouping = HasGroupByte();
        const bool dataLength = fVersion == 4 && FlagSet(flDataLength);
        const qint64 extra = (grouping ? 1 : 0) + (dataLength ? 4 : 0);
        if (size < extra)
            throw EID3v2FrameError("Invalid frame size");
        if (grouping)
            fGroupID = byteAt(readExactly(*source, 1), 0);
        if (dataLength) {
            const QByteArray d = readExactly(*source, 4);
            fDataLength = qint32(quint32(byteAt(d, 0)) << 24 | quint32(byteAt(d, 1)) << 16 |
                                 quint32(byteAt(d, 2)) << 8 | quint32(byteAt(d, 3)));
        }
        size -= extra;
    }
    fData = readExactly(*source, size);
}

// What follows the header when written: the group byte of a parsable frame, then its content;
// a length indicator is never written.
QByteArray TID3v2Frame::BodyToWrite()
{
    QByteArray body;
    if (fParsable) {
        UnSetFlag(flDataLength);
        if (HasGroupByte())
            body.append(char(fGroupID));
    }
    body.append(fData);
    return body;
}

bool TID3v2Frame::WriteHeaderAndBody(QIODevice &aStream, const QByteArray &body)
{
    UpdateHeaderSize(body.size());
    return aStream.write(fHeader) == fHeader.size() && aStream.write(body) == body.size();
}

bool TID3v2Frame::WriteToStream(QIODevice &aStream)
{
    UnSetFlag(flUnsync);
    return WriteHeaderAndBody(aStream, BodyToWrite());
}

bool TID3v2Frame::WriteUnsyncedToStream(QIODevice &aStream)
{
    QByteArray out;
    if (UnsyncBytes(BodyToWrite(), out))
        SetFlag(flUnsync);
    else
        UnSetFlag(flUnsync);
    return WriteHeaderAndBody(aStream, out);
}

TID3v2FrameTypes TID3v2Frame::FrameType() const
{
    struct Kind {
        const char *v2, *v3;
        TID3v2FrameTypes type;
    };
    static constexpr Kind kinds[] = {
        {"TXX", "TXXX", FT_UserTextFrame},    {"WXX", "WXXX", FT_UserDefinedURLFrame},
        {"COM", "COMM", FT_CommentFrame},     {"ULT", "USLT", FT_LyricFrame},
        {"PIC", "APIC", FT_PictureFrame},     {"POP", "POPM", FT_PopularimeterFrame},
        {"WCM", "WCOM", FT_URLFrame},         {"WCP", "WCOP", FT_URLFrame},
        {"WAF", "WOAF", FT_URLFrame},         {"WAR", "WOAR", FT_URLFrame},
        {"WAS", "WOAS", FT_URLFrame},         {"WPB", "WPUB", FT_URLFrame},
        {nullptr, "WORS", FT_URLFrame},       {nullptr, "WPAY", FT_URLFrame},
    };
    if (!ValidFrameID(fIDString))
        return FT_INVALID;
    for (const Kind &kind : kinds) {
        const char *id = fVersion == 2 ? kind.v2 : kind.v3;
        if (id != nullptr && fIDString == id)
            return kind.type;
    }
    return fIDString.startsWith('T') ? FT_TextFrame : FT_UNKNOWN;
}

static int findRow(const QByteArray &id, quint8 version)
{
    if (version < 2 || version > 4)
        return -1;
    for (std::size_t row = 0; row < ID3v2KnownFrames.size(); ++row)
        if (id == ID3v2KnownFrames[row].ID[version - 2])
            return int(row);
    return -1;
}

TFrameIDs TID3v2Frame::FrameID() const
{
    if (fID == IDv2_UNKNOWN)
        fID = TFrameIDs(qMax(0, findRow(fIDString, fVersion)));
    return fID;
}

QString TID3v2Frame::FrameTypeDescription() const
{
    const int row = fID != IDv2_UNKNOWN ? int(fID) : findRow(fIDString, fVersion);
    if (row < 0)
        return QStringLiteral("Unknown Frame (") + QString::fromLatin1(fIDString) + QLatin1Char(')');
    return QString::fromLatin1(ID3v2KnownFrames[row].Description);
}

bool TID3v2Frame::IsUnicodeNeeded(const QString &text)
{
    for (QChar c : text)
        if (c.unicode() > 0xFF)
            return true;
    return false;
}

QString TID3v2Frame::DecodeText(qint64 first, qint64 last, quint8 e) const
{
    if (last >= fData.size())
        last = fData.size() - 1;
    if (first < 0)
        first = 0;
    if (last < first)
        return {};
    const qint64 n = last - first + 1;
    QString text;
    switch (ByteToTextEncoding(e)) {
    case 1:
        if (n >= 2 && byteAt(fData, first) == 0xFE && byteAt(fData, first + 1) == 0xFF)
            text = utf16(fData, first + 2, n / 2 - 1, true);
        else if (n >= 2 && byteAt(fData, first) == 0xFF && byteAt(fData, first + 1) == 0xFE)
            text = utf16(fData, first + 2, n / 2 - 1, false);
        else
            text = utf16(fData, first, n / 2, false);
        break;
    case 2:
        text = utf16(fData, first, n / 2, true);
        break;
    case 3:
        text = QString::fromUtf8(fData.mid(first, n));
        break;
    default:
        text = BytesToText(fCharCode, fAutoCorrectCodepage, fData.mid(first, n));
        break;
    }
    return TrimBlanks(text);
}

QByteArray TID3v2Frame::EncodeText(const QString &text, bool unicode) const
{
    if (!unicode)
        return TextToAnsi(text);
    QByteArray out;
    out.reserve(2 + 2 * text.size());
    out.append(char(0xFF)).append(char(0xFE));
    for (QChar c : text)
        out.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
    return out;
}

qint64 TID3v2Frame::StringEnd(qint64 start, quint8 e, qint64 &next) const
{
    const qint64 size = fData.size();
    if (e == 1 || e == 2) {
        qint64 i = start;
        while (i + 1 < size && !(fData.at(i) == 0 && fData.at(i + 1) == 0))
            i += 2;
        next = i + 2;
        return i;
    }
    qint64 i = start;
    while (i < size && fData.at(i) != 0)
        ++i;
    next = i + 1;
    return i;
}

QString TID3v2Frame::DecodeString(qint64 start, quint8 e, qint64 &next) const
{
    return DecodeText(start, StringEnd(start, e, next) - 1, e);
}

QByteArray TID3v2Frame::DescribedContent(bool unicode, const QByteArray &prefix, const QString &description,
                                         const QByteArray &rest) const
{
    return QByteArray(1, char(unicode ? 1 : 0)) + prefix + EncodeText(description, unicode) +
           QByteArray(unicode ? 2 : 1, '\0') + rest;
}

void TID3v2Frame::ContentChanged(const QByteArray &content)
{
    fData = content;
    ResetFlagsAfterChange();
    UpdateHeaderSize();
}

QString TID3v2Frame::GetText() const
{
    if (!fParsable || fData.isEmpty())
        return {};
    return DecodeText(1, fData.size() - 1, byteAt(fData, 0));
}

void TID3v2Frame::SetText(const QString &Value)
{
    const bool unicode = fAlwaysWriteUnicode || IsUnicodeNeeded(Value);
    ContentChanged(QByteArray(1, char(unicode ? 1 : 0)) + EncodeText(Value, unicode));
}

QString TID3v2Frame::GetUserText(QString &Description) const
{
    Description.clear();
    if (!fParsable || fData.size() <= 2)
        return {};
    const quint8 e = ByteToTextEncoding(byteAt(fData, 0));
    qint64 next = 0;
    Description = DecodeString(1, e, next);
    return DecodeText(next, fData.size() - 1, e);
}

void TID3v2Frame::SetUserText(const QString &Description, const QString &Value)
{
    const bool unicode = fAlwaysWriteUnicode || IsUnicodeNeeded(Description) || IsUnicodeNeeded(Value);
    ContentChanged(DescribedContent(unicode, {}, Description, EncodeText(Value, unicode)));
}

QString TID3v2Frame::GetCommentsLyrics(QByteArray &Language, QString &Description) const
{
    Language.clear();
    Description.clear();
    if (!fParsable || fData.size() <= 4)
        return {};
    const quint8 e = ByteToTextEncoding(byteAt(fData, 0));
    Language = fData.mid(1, 3);
    qint64 next = 0;
    Description = DecodeString(4, e, next);
    return DecodeText(next, fData.size() - 1, e);
}

void TID3v2Frame::SetCommentsLyrics(const QByteArray &Language, const QString &Description, const QString &Value)
{
    const QByteArray language = Language.size() == 3 ? Language : QByteArray("eng");
    const bool unicode = fAlwaysWriteUnicode || IsUnicodeNeeded(Description) || IsUnicodeNeeded(Value);
    ContentChanged(DescribedContent(unicode, language, Description, EncodeText(Value, unicode)));
}

QByteArray TID3v2Frame::GetURL() const
{
    return fParsable ? fData : QByteArray();
}

void TID3v2Frame::SetURL(const QByteArray &Value)
{
    ContentChanged(Value.isEmpty() ? QByteArray(" ") : Value);
}

QByteArray TID3v2Frame::GetUserdefinedURL(QString &Description) const
{
    Description.clear();
    if (!fParsable || fData.size() <= 1)
        return {};
    qint64 next = 0;
    Description = DecodeString(1, ByteToTextEncoding(byteAt(fData, 0)), next);
    return TextToAnsi(TrimBlanks(AnsiToText(fData.mid(next))));
}

void TID3v2Frame::SetUserdefinedURL(const QString &Description, const QByteArray &URL)
{
    ContentChanged(DescribedContent(IsUnicodeNeeded(Description), {}, Description, URL));
}

bool TID3v2Frame::GetPicture(QByteArray &Mime, quint8 &PicType, QString &Description, QIODevice *PictureData) const
{
    Mime.clear();
    PicType = 0;
    Description.clear();
    if (!fParsable)
        return false;
    const quint8 e = fData.isEmpty() ? 0 : ByteToTextEncoding(byteAt(fData, 0));
    qint64 descStart = 0;
    if (fVersion == 2) {
        if (fData.size() <= 6)
            return false;
        Mime = fData.mid(1, 3);
        PicType = byteAt(fData, 4);
        descStart = 5;
    } else {
        if (fData.size() <= 4)
            return false;
        const qint64 zero = fData.indexOf('\0', 1);
        if (zero < 0 || zero + 1 >= fData.size()) {
            Mime = fData.mid(1, zero < 0 ? -1 : zero - 1);
            return false;
        }
        Mime = fData.mid(1, zero - 1);
        PicType = byteAt(fData, zero + 1);
        descStart = zero + 2;
    }
    qint64 next = 0;
    Description = DecodeString(descStart, e, next);
    if (next >= fData.size())
        return false;
    if (PictureData != nullptr)
        PictureData->write(fData.constData() + next, fData.size() - next);
    return true;
}

void TID3v2Frame::SetPicture(const QByteArray &Mime, quint8 PicType, const QString &Description,
                             QIODevice *PictureData)
{
    if (PicType > 20)
        PicType = 0;
    QByteArray format = Mime;
    if (fVersion != 2)
        format += '\0';
    else if (format.size() != 3)
        format = Mime == "image/png" ? QByteArray("PNG") : QByteArray("JPG");
    ContentChanged(DescribedContent(IsUnicodeNeeded(Description), format + char(PicType), Description,
                                    readAllFromStart(PictureData)));
}

quint8 TID3v2Frame::GetRating(QByteArray &UserEMail) const
{
    UserEMail.clear();
    if (!fParsable)
        return 0;
    const qint64 zero = fData.indexOf('\0');
    UserEMail = zero < 0 ? fData : fData.left(zero);
    if (zero < 0 || zero + 1 >= fData.size())
        return 0;
    return byteAt(fData, zero + 1);
}

quint32 TID3v2Frame::GetPersonalPlayCounter(QByteArray &UserEMail) const
{
    GetRating(UserEMail);
    if (!fParsable)
        return 0;
    const qint64 zero = fData.indexOf('\0');
    if (zero < 0 || fData.size() - (zero + 2) != 4)
        return 0;
    const qint64 at = zero + 2;
    return quint32(byteAt(fData, at)) << 24 | quint32(byteAt(fData, at + 1)) << 16 |
           quint32(byteAt(fData, at + 2)) << 8 | quint32(byteAt(fData, at + 3));
}

void TID3v2Frame::SetPopularimeter(const QByteArray &email, quint8 rating, quint32 counter)
{
    QByteArray content = email + '\0' + char(rating);
    if (counter != 0)
        appendBE32(content, counter);
    ContentChanged(content);
}

void TID3v2Frame::SetRating(const QByteArray &UserEMail, quint8 Value)
{
    QByteArray ignored;
    SetPopularimeter(UserEMail, Value, GetPersonalPlayCounter(ignored));
}

void TID3v2Frame::SetPersonalPlayCounter(const QByteArray &UserEMail, quint32 Value)
{
    QByteArray ignored;
    SetPopularimeter(UserEMail, GetRating(ignored), Value);
}

bool TID3v2Frame::GetPrivateFrame(QByteArray &OwnerID, QIODevice *Data) const
{
    OwnerID.clear();
    if (!fParsable)
        return false;
    const qint64 zero = fData.indexOf('\0');
    OwnerID = zero < 0 ? fData : fData.left(zero);
    if (zero < 0 || zero + 1 >= fData.size())
        return false;
    if (Data != nullptr)
        Data->write(fData.constData() + zero + 1, fData.size() - zero - 1);
    return true;
}

void TID3v2Frame::SetPrivateFrame(const QByteArray &aOwnerID, QIODevice *Data)
{
    ContentChanged(aOwnerID + '\0' + readAllFromStart(Data));
}

void TID3v2Frame::GetData(QIODevice *Data) const
{
    if (Data != nullptr && !fData.isEmpty())
        Data->write(fData);
}

void TID3v2Frame::SetData(QIODevice *Data)
{
    fData = readAllFromStart(Data);
    UpdateHeaderSize();
}
