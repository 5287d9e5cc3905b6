// Addresses as users paste them and pages hand them over: canonicalisation for the
// HTTP library, classification by source type, the Weibo owner an address names.
#include "FuzzInput.h"
#include "net/UrlCanonical.h"
#include "sources/AddressClassifier.h"
#include "sources/weibo/WeiboAddress.h"

#include <algorithm>

using namespace pictrove;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString address = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QByteArray wire = canonicalUrl(address);
    // No byte libcurl would cut the address at or read as the end of the request line.
    // (Bytes of an international host name stay as they are: libcurl converts them.)
    for (const char c : wire) {
        if (uchar(c) <= ' ' || uchar(c) == 0x7F)
            fuzz::propertyBroken("canonical address holds an unsafe byte", QString::fromUtf8(wire));
    }
    (void)sourceTypeForAddress(address);
    (void)qqSubTypeForAddress(address);
    const WeiboOwnerRef owner = weiboOwnerOfAddress(address);
    if (owner.kind == WeiboOwnerRef::Kind::Uid
        && (owner.value.isEmpty() || !std::all_of(owner.value.begin(), owner.value.end(), [](QChar c) { return c.isDigit(); })))
        fuzz::propertyBroken("a Weibo user id that is not a number", owner.value);
    (void)isWeiboAddress(address);
    return 0;
}
