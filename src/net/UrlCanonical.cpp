#include "net/UrlCanonical.h"

#include <curl/curl.h>

#include <algorithm>

namespace pictrove {

namespace {

bool isPathSafe(uchar c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
        return true;
    static const QByteArray kSafe = QByteArrayLiteral("-._~:/?#[]@!$&'()*+,;=%");
    return kSafe.contains(char(c));
}

bool isQuerySafe(uchar c)
{
    return c > 0x20 && c < 0x7F;
}

void appendEncoded(QByteArray &out, const QByteArray &part, bool (*safe)(uchar))
{
    static const char kHex[] = "0123456789ABCDEF";
    for (char ch : part) {
        const uchar c = uchar(ch);
        if (safe(c)) {
            out += ch;
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        }
    }
}

}  // namespace

QByteArray canonicalUrl(const QString &url)
{
    // Only leading blanks go: a line feed at the end belongs to a query's random
    // fraction and is sent as "%0A".
    QByteArray raw = url.toUtf8();
    while (!raw.isEmpty() && uchar(raw.at(0)) <= ' ')
        raw.remove(0, 1);
    const qsizetype schemeEnd = raw.indexOf("://");
    if (schemeEnd <= 0)
        return QByteArray();
    qsizetype pathStart = schemeEnd + 3;
    while (pathStart < raw.size() && !QByteArray("/?#").contains(raw.at(pathStart)))
        ++pathStart;
    qsizetype queryStart = pathStart;
    while (queryStart < raw.size() && raw.at(queryStart) != '?' && raw.at(queryStart) != '#')
        ++queryStart;

    // The host is left to libcurl: it converts international names itself. A control
    // byte there (a NUL above all) would make libcurl read another host than this one.
    QByteArray out = raw.left(pathStart);
    if (std::any_of(out.begin(), out.end(), [](char c) { return uchar(c) < 0x20 || c == ' '; }))
        return QByteArray();
    appendEncoded(out, raw.mid(pathStart, queryStart - pathStart), isPathSafe);
    appendEncoded(out, raw.mid(queryStart), isQuerySafe);

    CURLU *parsed = curl_url();
    bool ok = parsed && curl_url_set(parsed, CURLUPART_URL, out.constData(), 0) == CURLUE_OK;
    if (ok) {
        char *scheme = nullptr;
        char *host = nullptr;
        ok = curl_url_get(parsed, CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK
             && curl_url_get(parsed, CURLUPART_HOST, &host, 0) == CURLUE_OK
             && (qstrcmp(scheme, "http") == 0 || qstrcmp(scheme, "https") == 0) && host
             && *host;
        curl_free(scheme);
        curl_free(host);
    }
    curl_url_cleanup(parsed);
    return ok ? out : QByteArray();
}

}  // namespace pictrove
