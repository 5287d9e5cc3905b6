// The stored settings ("soft.dat", a fixed 19808-byte image) and the hand-edited INI
// file: any bytes read, and a settings block written back keeps its size.
#include "FuzzInput.h"
#include "settings/IniReader.h"
#include "settings/SettingsImage.h"

using namespace pictrove;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const SettingsBlock block = fromSettingsImage(bytes);
    const QByteArray image = toSettingsImage(block);
    if (image.size() != 19808)
        fuzz::propertyBroken("settings image of the wrong size", QString::number(image.size()));
    (void)IniReader::decodeFile(bytes);
    return 0;
}
