#include "text/Charsets.h"

#include "text/TextScan.h"

#include <QtGlobal>

#include <cerrno>
#include <iconv.h>

namespace pictrove {

namespace {

// QString's own units in memory order, so no copy is needed either way.
constexpr const char *kUtf16 = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? "UTF-16LE" : "UTF-16BE";

const char *iconvName(int codePage)
{
    switch (codePage) {
    case kCodePageGbk:
        return "GBK";
    case kCodePageUtf8:
        return "UTF-8";
    case kCodePageBig5:
        return "BIG5";
    case kCodePageEucKr:
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
    return fromCodePage(bytes.constData(), nul >= 0 ? nul : bytes.size(), kCodePageGbk);
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

}  // namespace pictrove
