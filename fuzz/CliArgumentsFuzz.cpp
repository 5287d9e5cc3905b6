// pictrove-cli's command line (arguments separated by NUL), the album choice, and what
// follows the arguments' empty one as an owners file's text.
#include "FuzzInput.h"
#include "cli/AlbumChoice.h"
#include "cli/CliOptions.h"
#include "cli/OwnersFile.h"

using namespace pictrove;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::FuzzInput input(data, size);
    const int albumCount = input.takeByte();
    const QString choice = QString::fromUtf8(input.takeUntil('\0'));
    if (const std::optional<QList<int>> chosen = parseAlbumChoice(choice, albumCount)) {
        for (const int index : *chosen) {
            if (index < 0 || index >= albumCount)
                fuzz::propertyBroken("album choice outside the list", choice);
        }
    }
    QStringList arguments{QStringLiteral("pictrove-cli")};
    for (QByteArray part = input.takeUntil('\0'); !part.isEmpty(); part = input.takeUntil('\0'))
        arguments.append(QString::fromUtf8(part));
    QString error;
    (void)parseCliOptions(arguments, error);
    for (const QString &address : ownerAddressesIn(input.rest())) {
        if (address.isEmpty() || address.startsWith(u'#') || address != address.trimmed())
            fuzz::propertyBroken("owners file line kept blank, commented or untrimmed", address);
    }
    return 0;
}
