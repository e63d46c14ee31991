// The frame-ID table, and what a frame's ID says about its kind.
#include "tags/id3v2frame.h"

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

QByteArray ID3v2FrameIDString(TFrameIDs id, int version)
{
    if (version < 2 || version > 4 || id < IDv2_UNKNOWN || id > IDv2_SIZE)
        return {};
    return QByteArray(ID3v2KnownFrames[id].ID[version - 2]);
}

TID3v2FrameTypes TID3v2Frame::FrameType() const
{
    struct Kind {
        const char *v2, *v3;
        TID3v2FrameTypes type;
    };
    static constexpr Kind kinds[] = {
        {"TXX", "TXXX", FT_UserTextFrame}, {"WXX", "WXXX", FT_UserDefinedURLFrame},
        {"COM", "COMM", FT_CommentFrame},  {"ULT", "USLT", FT_LyricFrame},
        {"PIC", "APIC", FT_PictureFrame},  {"POP", "POPM", FT_PopularimeterFrame},
        {"WCM", "WCOM", FT_URLFrame},      {"WCP", "WCOP", FT_URLFrame},
        {"WAF", "WOAF", FT_URLFrame},      {"WAR", "WOAR", FT_URLFrame},
        {"WAS", "WOAS", FT_URLFrame},      {"WPB", "WPUB", FT_URLFrame},
        {nullptr, "WORS", FT_URLFrame},    {nullptr, "WPAY", FT_URLFrame},
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
