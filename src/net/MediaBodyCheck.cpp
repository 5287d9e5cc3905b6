#include "net/MediaBodyCheck.h"

#include "net/Gunzip.h"

#include <QByteArrayView>
#include <QList>

#include <cstring>
#include <functional>

namespace pictrove {

namespace {

// Signs of the services' login pages and of answers that send the user to one: their
// login hosts, and "登录" in UTF-8 and in GBK (the blog's pages are GBK).
const QByteArray kLoginSigns[] = {
    QByteArrayLiteral("passport.weibo.com"),
    QByteArrayLiteral("passport.weibo.cn"),
    QByteArrayLiteral("login.sina.com.cn"),
    QByteArrayLiteral("passport.sina.cn"),
    QByteArrayLiteral("\xE7\x99\xBB\xE5\xBD\x95"),  // 登录
    QByteArrayLiteral("\xB5\xC7\xC2\xBC"),          // 登录 in GBK
};

bool startsWithNoCase(QByteArrayView text, const char *prefix)
{
    const qsizetype n = qsizetype(std::strlen(prefix));
    return text.size() >= n && qstrnicmp(text.data(), n, prefix, n) == 0;
}

// The value of the head's first `name` field, lower case, without parameters
// ("text/html; charset=utf-8" -> "text/html").
QByteArray fieldValue(const QByteArray &head, const char *name)
{
    const qsizetype n = qsizetype(std::strlen(name));
    for (const QByteArray &line : head.split('\n')) {
        if (line.size() > n && line.at(n) == ':' && startsWithNoCase(line, name))
            return line.mid(n + 1).split(';').first().trimmed().toLower();
    }
    return QByteArray();
}

// Formats whose start says what they are; one of them passes whatever the answer's
// Content-Type claims (a misconfigured host serving pictures as text/html).
bool startsLikeMedia(QByteArrayView bytes)
{
    static const QByteArrayView kSignatures[] = {
        QByteArrayView("\xFF\xD8\xFF", 3),          // JPEG
        QByteArrayView("\x89PNG", 4),               // PNG
        QByteArrayView("GIF8", 4),                  // GIF
        QByteArrayView("RIFF", 4),                  // WebP, AVI
        QByteArrayView("II*\0", 4),                 // TIFF
        QByteArrayView("MM\0*", 4),                 // TIFF
        QByteArrayView("BM", 2),                    // BMP
        QByteArrayView("\x1A\x45\xDF\xA3", 4),      // Matroska, WebM
        QByteArrayView("FLV", 3),                   // Flash video
        QByteArrayView("OggS", 4),                  // Ogg
        QByteArrayView("\xFF\x0A", 2),              // JPEG XL
        QByteArrayView("\0\0\0\x0CJXL ", 8),        // JPEG XL container
    };
    for (QByteArrayView signature : kSignatures) {
        if (bytes.startsWith(signature))
            return true;
    }
    // ISO media (MP4, MOV, HEIC, AVIF): a box size, then "ftyp". A QuickTime movie of
    // the older kind (a live photo's moving part may be one) starts with another box.
    if (bytes.size() < 8)
        return false;
    const QByteArrayView box = bytes.sliced(4, 4);
    for (const char *type : {"ftyp", "moov", "mdat", "wide", "free"}) {
        if (box == QByteArrayView(type, 4))
            return true;
    }
    return false;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

// The text after a UTF-8 byte order mark and leading blanks.
QByteArrayView textStart(QByteArrayView bytes)
{
    if (bytes.startsWith(QByteArrayView("\xEF\xBB\xBF", 3)))
        bytes = bytes.sliced(3);
    while (!bytes.isEmpty() && isBlank(bytes.front()))
        bytes = bytes.sliced(1);
    return bytes;
}

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// An HTML page: a tag first ("<html", "<head", "<div"...), or a doctype or comment
// before an html element. SVG, a picture written as XML, is not a page. `lowerSample`
// is the sample in lower case, made only when a doctype or comment asks for it.
bool startsLikeHtml(QByteArrayView text, const std::function<const QByteArray &()> &lowerSample)
{
    if (text.size() < 2 || text.front() != '<')
        return false;
    if (isLetter(text.at(1)))
        return !startsWithNoCase(text, "<svg");
    if (startsWithNoCase(text, "<!doctype html"))
        return true;
    if (text.at(1) == '!' || text.at(1) == '?') {
        const QByteArray &lower = lowerSample();
        return lower.contains("<html") || lower.contains("<body") || lower.contains("<head");
    }
    return false;
}

// A JSON object or array: "{" then a name or "}", "[" then a value or "]".
bool startsLikeJson(QByteArrayView text)
{
    if (text.isEmpty() || (text.front() != '{' && text.front() != '['))
        return false;
    const QByteArrayView rest = textStart(text.sliced(1));
    if (rest.isEmpty())
        return false;
    const char next = rest.front();
    if (text.front() == '{')
        return next == '"' || next == '}';
    return next == '{' || next == '[' || next == '"' || next == ']';
}

bool declaredHtml(const QByteArray &type)
{
    return type == "text/html" || type == "application/xhtml+xml";
}

bool declaredJson(const QByteArray &type)
{
    return type == "application/json" || type == "text/json" || type.endsWith("+json");
}

// Lower case only changes ASCII letters: the non-ASCII signs are found as they are.
bool mentionsLogin(const QByteArray &lowerSample)
{
    for (const QByteArray &sign : kLoginSigns) {
        if (lowerSample.contains(sign))
            return true;
    }
    return false;
}

}  // namespace

BodyRefusal checkMediaBody(const QByteArray &head, const QByteArray &firstBytes)
{
    if (firstBytes.isEmpty())
        return BodyRefusal::Empty;
    QByteArray sample = firstBytes.left(kMediaCheckBytes);
    const QByteArray encoding = fieldValue(head, "Content-Encoding");
    if (encoding.contains("gzip") || encoding.contains("deflate")) {
        QByteArray inflated;
        const bool whole = gunzip(inflated, sample.constData(), sample.size(), kMediaCheckBytes);
        if (whole && inflated.isEmpty())
            return BodyRefusal::Empty;
        if (!inflated.isEmpty())
            sample = inflated;
    }
    if (startsLikeMedia(sample))
        return BodyRefusal::None;

    const QByteArray type = fieldValue(head, "Content-Type");
    // Lower case is made once, and only for a body that may be a page: a body of a
    // format the signatures do not know passes without it (64 KiB per picture).
    QByteArray lowerSample;
    bool lowered = false;
    const auto lower = [&]() -> const QByteArray & {
        if (!lowered) {
            lowerSample = sample.toLower();
            lowered = true;
        }
        return lowerSample;
    };
    const QByteArrayView text = textStart(sample);
    const bool json = startsLikeJson(text);
    const bool page = startsLikeHtml(text, lower) || (declaredHtml(type) && !json);
    if (!page && !json && !declaredJson(type))
        return BodyRefusal::None;
    if (mentionsLogin(lower()))
        return BodyRefusal::LoginPage;
    return page ? BodyRefusal::WebPage : BodyRefusal::Json;
}

}  // namespace pictrove
