// Lines of a Netscape cookie file (a browser's export, or our own store): a line that
// parses formats back to a line that parses to the same cookie, so nothing is lost
// between a save and the next load.
#include "FuzzInput.h"
#include "net/CookieStore.h"
#include "net/NetscapeCookies.h"

using namespace pictrove;

namespace {

bool same(const CookieFields &a, const CookieFields &b)
{
    return a.domain == b.domain && a.path == b.path && a.name == b.name && a.value == b.value
           && a.secure == b.secure && a.httpOnly == b.httpOnly && a.hostOnly == b.hostOnly && a.expiry == b.expiry;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::FuzzInput input(data, size);
    for (QByteArray line = input.takeUntil('\n'); !line.isEmpty(); line = input.takeUntil('\n')) {
        CookieFields cookie;
        if (!parseNetscapeLine(line, cookie))
            continue;
        if (!cookieFieldsValid(cookie))
            fuzz::propertyBroken("a parsed cookie is not valid", QString::fromUtf8(line));
        CookieFields again;
        if (!parseNetscapeLine(formatNetscapeLine(cookie), again) || !same(cookie, again))
            fuzz::propertyBroken("a cookie does not survive its own file line", QString::fromUtf8(line));
    }
    return 0;
}
