#include "sources/ListingBounds.h"

#include <algorithm>
#include <cstdint>

namespace pictrove {

namespace {

// A count may be off by a few pictures, or by a quarter of a large album, before the
// listing is taken for broken.
constexpr int kCountSlack = 8;

}  // namespace

int promisedPages(int pictures, int perPage)
{
    if (pictures <= 0 || perPage <= 0)
        return 0;
    const int64_t pages = (int64_t(pictures) + perPage - 1) / perPage;
    return int(std::min<int64_t>(pages, kMaxListPages));
}

QString shortOfCountReason(int promised, int listed)
{
    const int64_t missing = int64_t(promised) - listed;
    if (promised <= 0 || missing <= std::max(kCountSlack, promised / 4))
        return QString();
    return QStringLiteral("相册标明 %1 张，只列出 %2 张").arg(promised).arg(listed);
}

QString pageLimitReason()
{
    return QStringLiteral("超过 %1 页，其余未列出").arg(kMaxListPages);
}

}  // namespace pictrove
