// Picture and album names from remote titles under any naming rules: every name is one
// path component that stays inside its folder.
#include "FuzzInput.h"
#include "download/AlbumQueue.h"
#include "download/FileNaming.h"
#include "text/CleanName.h"

using namespace pictrove;

namespace {

void checkComponent(const QString &name, const char *what)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")
        || name.contains(QLatin1Char('/')) || name.contains(QChar(u'\0')) || name.toUtf8().size() > kMaxNameBytes)
        fuzz::propertyBroken(what, name);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::FuzzInput input(data, size);
    PictureNaming naming;
    naming.rules.fileBase = input.takeByte() % 4;
    naming.rules.folderBase = input.takeByte() % 3;
    naming.rules.options = uint16_t(input.takeByte() << 8 | input.takeByte());
    naming.sequence = int(input.takeByte()) + 1;
    naming.selectedAlbumCount = input.takeByte();
    naming.albumCount = input.takeByte();
    // Positions come from the list, which may be long, or from a hand-edited file.
    naming.album.position = int32_t(uint32_t(input.takeByte()) << 24 | uint32_t(input.takeByte()) << 16
                                    | uint32_t(input.takeByte()) << 8 | input.takeByte());
    naming.rules.filePrefix = QString::fromUtf8(input.takeUntil('\0'));
    naming.rules.fileSuffix = QString::fromUtf8(input.takeUntil('\0'));
    naming.rules.findText = QString::fromUtf8(input.takeUntil('\0'));
    naming.rules.replaceText = QString::fromUtf8(input.takeUntil('\0'));
    naming.rules.folderPrefix = QString::fromUtf8(input.takeUntil('\0'));
    naming.rules.folderSuffix = QString::fromUtf8(input.takeUntil('\0'));
    naming.album.name = QString::fromUtf8(input.takeUntil('\0'));
    naming.ownerName = QString::fromUtf8(input.takeUntil('\0'));
    naming.address = QString::fromUtf8(input.takeUntil('\0'));
    naming.title = QString::fromUtf8(input.rest());

    (void)cleanName(naming.title, 0xFFFF, true);
    const QString folder = albumFolderName(naming.album, naming.rules);
    if (!folder.isEmpty())
        checkComponent(folder, "album folder name is not one safe path component");
    AlbumQueue queue;
    for (int i = 0; i < 3; ++i) {
        const QString name = finalFileName(pictureNameBase(naming), QStringLiteral("/save/owner/album/"), queue);
        checkComponent(name, "picture file name is not one safe path component");
        queue.queuePicture(naming.address, name, QString());
    }
    return 0;
}
