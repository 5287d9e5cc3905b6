// Owner, album and picture names from remote pages under any naming rules: every name
// is one path component, and the whole path of every picture stays inside the save
// folder.
#include "FuzzInput.h"
#include "download/AlbumQueue.h"
#include "download/FileNaming.h"
#include "download/Folders.h"
#include "sources/AddAlbum.h"
#include "sources/ListAcquisition.h"
#include "text/CleanName.h"

#include <QDir>

#include <limits>

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
    naming.picture.address = QString::fromUtf8(input.takeUntil('\0'));
    // The post's values reach the name through the letter escapes (?d ?t ?p ?i ?n ?o).
    naming.picture.postId = QString::fromUtf8(input.takeUntil('\0'));
    naming.picture.pictureId = QString::fromUtf8(input.takeUntil('\0'));
    naming.ownerId = QString::fromUtf8(input.takeUntil('\0'));
    naming.picture.postTime = int64_t(int32_t(uint32_t(input.takeByte()) << 24 | uint32_t(input.takeByte()) << 16
                                              | uint32_t(input.takeByte()) << 8 | input.takeByte()));
    naming.numberInPost = input.takeByte();
    naming.picture.title = QString::fromUtf8(input.rest());

    (void)cleanName(naming.picture.title, 0xFFFF, true);

    // The names as a list and a download make them: the owner's folder from the page's
    // owner name, the album name as the list cleans it, its folder among the others'.
    const QString saveRoot = QStringLiteral("/save/root");
    OwnerInfo owner;
    owner.name = ownerFolderName(naming.ownerName);
    owner.subFolder = ownerFolderName(naming.picture.title);
    naming.album.name = cleanName(naming.album.name, kCleanNameTimeFallback, true).left(kShownNameLength);
    const QString ownerFolder = ownerFolderFor(saveRoot, owner);
    for (const QString &part : QString(ownerFolder).remove(0, saveRoot.size() + 1).split(u'/', Qt::SkipEmptyParts))
        checkComponent(part, "owner folder name is not one safe path component");

    AlbumRecord twin = naming.album;
    twin.position = naming.album.position == std::numeric_limits<int32_t>::max() ? 0 : naming.album.position + 1;
    const QStringList folders = albumFolderNames({naming.album, twin}, naming.rules);
    for (const QString &folder : folders) {
        if (!folder.isEmpty())
            checkComponent(folder, "album folder name is not one safe path component");
    }
    if (foldersNameEachAlbum(naming.rules) && folders.at(0).toCaseFolded() == folders.at(1).toCaseFolded())
        fuzz::propertyBroken("two albums share a folder", folders.at(0));

    const QString albumFolder = folders.at(0).isEmpty() ? ownerFolder : ownerFolder + folders.at(0) + u'/';
    AlbumQueue queue;
    // The same picture once as each kind of media: a GIF, a moving part and a video end
    // in their own extension whatever the rules made of the name.
    for (const MediaKind kind : {MediaKind::Still, MediaKind::Animated, MediaKind::LiveMotion, MediaKind::Video}) {
        naming.picture.kind = kind;
        const QString name = finalFileName(pictureNameBase(naming), albumFolder, queue, kind);
        checkComponent(name, "picture file name is not one safe path component");
        if (kind != MediaKind::Still && !name.endsWith(mediaExtension(kind)))
            fuzz::propertyBroken("a file of its own kind without its extension", name);
        if (!isInsideFolder(saveRoot, albumFolder + name) || QDir::cleanPath(albumFolder + name) != albumFolder + name)
            fuzz::propertyBroken("picture path leaves the save folder", albumFolder + name);
        queue.queuePicture(naming.picture, name);
    }
    return 0;
}
