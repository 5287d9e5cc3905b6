#include "text/Charsets.h"

#include "net/Gunzip.h"
#include "net/PageResponse.h"
#include "text/TextScan.h"

#include <QtGlobal>

#include <cerrno>
#include <iconv.h>

namespace {

// QString's own units in memory order, so no copy is needed either way.
constexpr const char *kUtf16 = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? "UTF-16LE" : "UTF-16BE";

const char *iconvName(int codePage)
{
    switch (codePage) {
    case CP_GBK:
        return "GBK";
    case CP_UTF8:
        return "UTF-8";
    case CP_BIG5:
        return "BIG5";
    case CP_EUCKR:
        return "EUC-KR";
    default:
        return nullptr;
    }
}

// One descriptor per call: conversions run on many threads at once, and an iconv
// descriptor carries shift state that must not be shared.
class Iconv {
public:
    Iconv(const char *to, const char *from) : m_cd(iconv_open(to, from)) {}
    ~Iconv()
    {
        if (valid())
            iconv_close(m_cd);
    }
    Iconv(const Iconv &) = delete;
    Iconv &operator=(const Iconv &) = delete;

    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    size_t convert(char **in, size_t *inLeft, char **out, size_t *outLeft)
    {
        return iconv(m_cd, in, inLeft, out, outLeft);
    }

private:
    iconv_t m_cd;
};

}  // namespace

QString fromCodePage(const char *bytes, qsizetype length, int codePage)
{
    const char *name = iconvName(codePage);
    if (!name || !bytes || length <= 0)
        return QString();
    Iconv cd(kUtf16, name);
    if (!cd.valid())
        return QString();

    // None of these code pages yields more UTF-16 units than it consumes bytes, so
    // one unit per input byte is enough; the E2BIG branch stays as a safety net.
    QString out(length, Qt::Uninitialized);
    qsizetype produced = 0;
    char *in = const_cast<char *>(bytes);
    size_t inLeft = size_t(length);
    while (inLeft > 0) {
        char *outPtr = reinterpret_cast<char *>(out.data() + produced);
        size_t outLeft = size_t(out.size() - produced) * 2;
        const size_t rc = cd.convert(&in, &inLeft, &outPtr, &outLeft);
        produced = out.size() - qsizetype(outLeft / 2);
        if (rc != size_t(-1))
            break;
        if (errno == E2BIG) {
            out.resize(out.size() + qMax<qsizetype>(16, qsizetype(inLeft)));
        } else if (errno == EILSEQ) {
            // A byte the code page cannot read is dropped, and conversion resumes
            // with the next one, so one bad byte never costs the rest of the page.
            ++in;
            --inLeft;
        } else {
            break;  // EINVAL: an incomplete sequence at the very end; nothing follows it
        }
    }
    out.truncate(produced);
    const qsizetype nul = out.indexOf(QChar(u'\0'));
    if (nul >= 0)
        out.truncate(nul);
    return out;
}

QString fromCodePage(const QByteArray &bytes, int codePage)
{
    return fromCodePage(bytes.constData(), bytes.size(), codePage);
}

QString fromAnsi(const QByteArray &bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    return fromCodePage(bytes.constData(), nul >= 0 ? nul : bytes.size(), CP_GBK);
}

QByteArray toGbk(const QString &text)
{
    qsizetype length = text.indexOf(QChar(u'\0'));
    if (length < 0)
        length = text.size();
    if (length == 0)
        return QByteArray();
    Iconv cd("GBK", kUtf16);
    if (!cd.valid())
        return QByteArray();

    QByteArray out(length * 2, Qt::Uninitialized);
    qsizetype produced = 0;
    const QChar *units = text.constData();
    char *in = reinterpret_cast<char *>(const_cast<QChar *>(units));
    size_t inLeft = size_t(length) * 2;
    while (inLeft > 0) {
        char *outPtr = out.data() + produced;
        size_t outLeft = size_t(out.size() - produced);
        const size_t rc = cd.convert(&in, &inLeft, &outPtr, &outLeft);
        produced = out.size() - qsizetype(outLeft);
        if (rc != size_t(-1))
            break;
        if (errno == E2BIG) {
            out.resize(out.size() + qMax<qsizetype>(16, qsizetype(inLeft)));
            continue;
        }
        // A character GBK lacks (or a lone surrogate) becomes one '?', as the
        // platform's default character would; a surrogate pair is one character.
        const qsizetype unit = (in - reinterpret_cast<const char *>(units)) / 2;
        qsizetype skip = 1;
        if (unit + 1 < length && units[unit].isHighSurrogate() && units[unit + 1].isLowSurrogate())
            skip = 2;
        skip = qMin<qsizetype>(skip, qsizetype(inLeft / 2));
        if (skip == 0)
            break;
        if (produced == out.size())
            out.resize(out.size() + 16);
        out[produced++] = '?';
        in += skip * 2;
        inLeft -= size_t(skip) * 2;
    }
    out.truncate(produced);
    return out;
}

bool isUtf8(const char *bytes, qsizetype length)
{
    if (!bytes || length <= 0)
        return false;
    int pending = 0;
    bool ascii = true;
    for (qsizetype i = 0; i < length; ++i) {
        const auto b = quint8(bytes[i]);
        if (b >= 0x80)
            ascii = false;
        if (pending > 0) {
            if (b < 0x80 || b > 0xBF)
                return false;
            --pending;
            continue;
        }
        if (b < 0x80)
            continue;
        if (b >= 0xFC && b <= 0xFD)
            pending = 5;
        else if (b >= 0xF8)  // 0xF8-0xFB and 0xFE-0xFF
            pending = 4;
        else if (b >= 0xF0)
            pending = 3;
        else if (b >= 0xE0)
            pending = 2;
        else if (b >= 0xC0)
            pending = 1;
        else
            return false;  // a continuation byte where a lead byte belongs
    }
    return pending == 0 && !ascii;
}

namespace {

// The fetch could not match the markers inside a compressed body while receiving
// it; they are applied here, to whatever bytes are about to be decoded.
void trimByMarkers(QByteArray &bytes, const QByteArray &startMarker, const QByteArray &endMarker)
{
    if (!startMarker.isEmpty()) {
        const qsizetype p = bytes.indexOf(startMarker);
        if (p >= 0)
            bytes.remove(0, p + startMarker.size());
    }
    if (!endMarker.isEmpty()) {
        const qsizetype p = bytes.indexOf(endMarker);
        if (p >= 0)
            bytes.truncate(p);
    }
}

// The gzip flag comes from the whole response head, which can mention "gzip" without
// the body being compressed (or after something upstream already inflated it). A
// body without a gzip or zlib header is taken as it came instead of inflating to
// nothing.
bool looksCompressed(const QByteArray &body)
{
    if (body.size() < 2)
        return false;
    const auto b0 = quint8(body.at(0));
    const auto b1 = quint8(body.at(1));
    if (b0 == 0x1F && b1 == 0x8B)
        return true;
    return (b0 & 0x0F) == 8 && (b0 >> 4) <= 7 && (b0 * 256 + b1) % 31 == 0;
}

QString decodeGbkPage(QByteArray bytes, int flags)
{
    if (!(flags & TEXT_GBK_NUL))
        return fromAnsi(bytes);
    // NUL bytes would end the text; park them on DEL, which the conversion keeps as
    // a single character, and drop every DEL afterwards.
    bytes.replace('\0', '\x7F');
    QString text = fromAnsi(bytes);
    text.remove(QChar(u'\x7F'));
    return text;
}

}  // namespace

QString getText(const PageResponse &response, int flags)
{
    QByteArray bytes;
    if ((flags & TEXT_INFLATE) && response.gzip && looksCompressed(response.body)) {
        // A truncated stream still gives what was inflated before the cut.
        gunzip(bytes, response.body.constData(), response.body.size());
    } else {
        bytes = response.body;
    }
    if (response.gzip)
        trimByMarkers(bytes, response.startMarker, response.endMarker);

    QString text;
    if (response.headers.contains(QLatin1String("charset=GBK"), Qt::CaseSensitive)) {
        text = decodeGbkPage(std::move(bytes), flags);
    } else if (flags & TEXT_UTF8) {
        text = fromCodePage(bytes, CP_UTF8);
    } else if (flags & TEXT_EUCKR) {
        text = fromCodePage(bytes, CP_EUCKR);
    } else if (flags & TEXT_BIG5) {
        text = fromCodePage(bytes, CP_BIG5);
    } else if ((flags & TEXT_AUTO) && isUtf8(bytes.constData(), bytes.size())) {
        text = fromCodePage(bytes, CP_UTF8);
    } else {
        text = fromAnsi(bytes);
    }
    decodeEntities(text);
    return text;
}
