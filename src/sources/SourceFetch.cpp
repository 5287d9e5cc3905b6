#include "sources/SourceFetch.h"

#include "net/PageResponse.h"
#include "net/PageText.h"
#include "text/Charsets.h"

#include <QUrl>

#include <cstdint>
#include <limits>

namespace pictrove {

bool isSinaServiceAddress(const QString &address)
{
    QString text = address.trimmed();
    if (!text.contains(QStringLiteral("://")))
        text.prepend(QStringLiteral("https://"));
    const QString host = QUrl(text).host().toLower();
    for (const QString &domain : {QStringLiteral("sina.com.cn"), QStringLiteral("sina.com"),
                                  QStringLiteral("weibo.com"), QStringLiteral("weibo.cn")}) {
        if (host == domain || host.endsWith(QLatin1Char('.') + domain))
            return true;
    }
    return false;
}

QString fillAddress(QStringView pattern, const QStringList &values)
{
    static constexpr QStringView kHole = u"%s";
    QString address;
    qsizetype from = 0;
    qsizetype next = 0;
    for (qsizetype at = pattern.indexOf(kHole); at >= 0; at = pattern.indexOf(kHole, from)) {
        address += pattern.mid(from, at - from);
        if (next < values.size())
            address += values.at(next++);
        from = at + kHole.size();
    }
    address += pattern.mid(from);
    return address;
}

namespace {

bool worthAnotherTry(int status)
{
    return status == 0 || status == 408 || status == 429 || status >= 500;
}

}  // namespace

bool fetchListPage(PageRequest &request, int textFlags, QString &text,
                   const std::function<void(int milliseconds)> &sleep, QString &reason)
{
    text.clear();
    reason.clear();
    for (int attempt = 1; attempt <= kListPageTries; ++attempt) {
        if (attempt > 1 && sleep)
            sleep(kListPageRetryPausesMs[attempt - 2]);
        PageResponse response;
        const bool whole = fetch(request, response);
        const QString statusLine = response.statusLine();
        const int status = response.statusCode();
        if (response.overPageLimit) {
            reason = QString::fromUtf16(kPageTooLarge);
            return false;
        }
        if (whole && status >= 200 && status < 300) {
            bool inflatedPastLimit = false;
            text = getText(response, textFlags, &inflatedPastLimit);
            if (inflatedPastLimit) {
                text.clear();
                reason = QString::fromUtf16(kPageTooLarge);
                return false;
            }
            reason.clear();
            return true;
        }
        if (!whole) {
            reason = statusLine.isEmpty() ? QStringLiteral("no answer")
                                          : QStringLiteral("cut off (%1)").arg(statusLine);
            continue;
        }
        reason = statusLine;
        if (!worthAnotherTry(status))
            return false;
    }
    return false;
}

ListResult listResultOfFailure(const QString &reason)
{
    if (reason == QStringView(kPageTooLarge))
        return ListResult::ServiceChanged;
    const int status = reason.startsWith(u"HTTP/") ? reason.section(u' ', 1, 1).toInt() : 0;
    if (status == 404 || status == 410)
        return ListResult::OwnerNotFound;
    return ListResult::Unreachable;
}

int decimalValue(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == u'-' || text.at(i) == u'+'))
        negative = text.at(i++) == u'-';
    int64_t value = 0;
    constexpr int64_t kLimit = int64_t(std::numeric_limits<int32_t>::max()) + 1;
    for (; i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9'; ++i) {
        if (value < kLimit)
            value = value * 10 + (text.at(i).unicode() - u'0');
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return int(value);
}

QString unescapeSlashes(QString text)
{
    text.replace(QStringLiteral("\\/"), QStringLiteral("/"));
    return text;
}

}  // namespace pictrove
