#include "tags/codepage.h"

#include <array>
#include <cerrno>
#include <iconv.h>
#include <optional>

namespace {

#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr const char *kUtf16 = "UTF-16LE";
#else
constexpr const char *kUtf16 = "UTF-16BE";
#endif

// 0x80..0x9F of Windows-1252; the rest of the code page is Latin-1. Windows maps the five
// unassigned bytes to the C1 controls of the same value, so every byte round-trips.
constexpr std::array<char16_t, 32> kHighTable = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::optional<char> ansiByte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (std::size_t i = 0; i < kHighTable.size(); ++i)
        if (kHighTable[i] == c)
            return static_cast<char>(0x80 + i);
    return std::nullopt;
}

bool isAnsiCodePage(quint32 cp)
{
    // CP_ACP, CP_THREAD_ACP and the ANSI code page itself.
    return cp == 0 || cp == 3 || cp == 1252;
}

// The iconv name of a Windows code page number; empty for those we do not know.
QByteArray iconvName(quint32 cp)
{
    switch (cp) {
    case 1: return "CP850"; // CP_OEMCP of a German system
    case 2:
    case 10000: return "MACINTOSH";
    case 20127: return "ASCII";
    case 20866: return "KOI8-R";
    case 21866: return "KOI8-U";
    case 50220: return "ISO-2022-JP";
    case 51932: return "EUC-JP";
    case 51949: return "EUC-KR";
    case 52936: return "HZ";
    case 54936: return "GB18030";
    case 65000: return "UTF-7";
    case 65001: return "UTF-8";
    default: break;
    }
    if (cp >= 28591 && cp <= 28606)
        return "ISO-8859-" + QByteArray::number(cp - 28590);
    // Windows' own UTF-16 numbers are not allowed in these conversions.
    if (cp == 1200 || cp == 1201 || cp == 12000 || cp == 12001)
        return {};
    if (cp >= 37 && cp < 10000)
        return "CP" + QByteArray::number(cp);
    return {};
}

class Iconv {
public:
    Iconv(const QByteArray &to, const QByteArray &from)
        : cd(iconv_open(to.constData(), from.constData())) {}
    ~Iconv()
    {
        if (valid())
            iconv_close(cd);
    }
    Iconv(const Iconv &) = delete;
    Iconv &operator=(const Iconv &) = delete;
    bool valid() const { return cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t handle() const { return cd; }

private:
    iconv_t cd;
};

// Strict conversion from the code page: invalid bytes make it fail, as the length query
// of the Windows function does.
std::optional<QString> decodeCodePage(quint32 cp, const QByteArray &bytes)
{
    const QByteArray name = iconvName(cp);
    if (name.isEmpty() || bytes.isEmpty())
        return std::nullopt;
    Iconv conv(kUtf16, name);
    if (!conv.valid())
        return std::nullopt;
    QByteArray in = bytes;
    // Every byte gives at most one character, plus room for a shift sequence's reset.
    QByteArray out(bytes.size() * 4 + 16, Qt::Uninitialized);
    char *inPtr = in.data();
    size_t inLeft = static_cast<size_t>(in.size());
    char *outPtr = out.data();
    size_t outLeft = static_cast<size_t>(out.size());
    if (iconv(conv.handle(), &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1))
        return std::nullopt;
    if (iconv(conv.handle(), nullptr, nullptr, &outPtr, &outLeft) == static_cast<size_t>(-1))
        return std::nullopt;
    const qsizetype produced = out.size() - static_cast<qsizetype>(outLeft);
    QString result = QString::fromUtf16(reinterpret_cast<const char16_t *>(out.constData()),
                                        produced / 2);
    if (result.isEmpty())
        return std::nullopt;
    return result;
}

// Characters the code page lacks become "?", as the Windows function's default character.
std::optional<QByteArray> encodeCodePage(quint32 cp, const QString &text)
{
    const QByteArray name = iconvName(cp);
    if (name.isEmpty())
        return std::nullopt;
    Iconv conv(name, kUtf16);
    if (!conv.valid())
        return std::nullopt;
    QByteArray result;
    std::array<char, 64> buffer{};
    for (qsizetype i = 0; i < text.size(); ++i) {
        qsizetype units = 1;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            units = 2;
        QByteArray in(reinterpret_cast<const char *>(text.utf16() + i), units * 2);
        i += units - 1;
        char *inPtr = in.data();
        size_t inLeft = static_cast<size_t>(in.size());
        char *outPtr = buffer.data();
        size_t outLeft = buffer.size();
        if (iconv(conv.handle(), &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) {
            // EINVAL: a lone high surrogate, which is as unmappable as any other character.
            if (errno != EILSEQ && errno != EINVAL)
                return std::nullopt;
            result.append('?');
            continue;
        }
        result.append(buffer.data(), static_cast<qsizetype>(buffer.size() - outLeft));
    }
    char *outPtr = buffer.data();
    size_t outLeft = buffer.size();
    iconv(conv.handle(), nullptr, nullptr, &outPtr, &outLeft);
    result.append(buffer.data(), static_cast<qsizetype>(buffer.size() - outLeft));
    if (result.isEmpty())
        return std::nullopt;
    return result;
}

} // namespace

QString AnsiToText(const QByteArray &bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        out[i] = (b >= 0x80 && b <= 0x9F) ? QChar(kHighTable[b - 0x80]) : QChar(b);
    }
    return text;
}

QByteArray TextToAnsi(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        // A character beyond the BMP is one replacement, not two.
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        bytes.append(ansiByte(c.unicode()).value_or('?'));
    }
    return bytes;
}

QString BytesToText(const TCodePage &cp, bool autoCorrect, const QByteArray &bytes)
{
    if (autoCorrect && !isAnsiCodePage(cp.CodePage)) {
        if (auto text = decodeCodePage(cp.CodePage, bytes))
            return *text;
    }
    return AnsiToText(bytes);
}

QByteArray TextToBytes(const TCodePage &cp, bool autoCorrect, const QString &text)
{
    if (!autoCorrect)
        return TextToAnsi(text);
    if (text.isEmpty())
        return {};
    // The conversion covers the terminating NUL; falling back gives the plain ANSI bytes.
    const QString withNul = text + QChar(u'\0');
    if (isAnsiCodePage(cp.CodePage))
        return TextToAnsi(withNul);
    if (auto bytes = encodeCodePage(cp.CodePage, withNul))
        return *bytes;
    return TextToAnsi(text);
}
