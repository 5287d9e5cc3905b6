#include "FuzzInput.h"

#include <cstdio>
#include <cstdlib>

namespace pictrove::fuzz {

void propertyBroken(const char *what, const QString &value)
{
    std::fprintf(stderr, "property broken: %s: \"%s\"\n", what, value.toUtf8().constData());
    std::abort();
}

}  // namespace pictrove::fuzz
