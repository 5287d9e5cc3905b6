// gunzip on any bytes: never more than the limit, never a crash or a hang.
#include "FuzzInput.h"
#include "net/Gunzip.h"

using namespace pictrove;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    constexpr qsizetype kLimit = 1024 * 1024;
    QByteArray out;
    gunzip(out, reinterpret_cast<const char *>(data), qsizetype(size), kLimit);
    if (out.size() > kLimit)
        fuzz::propertyBroken("gunzip went past its limit", QString::number(out.size()));
    return 0;
}
