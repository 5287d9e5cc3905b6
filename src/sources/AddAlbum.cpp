#include "sources/AddAlbum.h"

#include "download/CleanName.h"
#include "sources/MainWindowState.h"
#include "sources/WindowPort.h"

#include <new>

int addAlbum(MainWindowState &state, const AlbumRecord &found)
{
    if (!state.readyFlag.load())
        return state.albums.size();

    int size = 0;
    try {
        AlbumRecord record = found;
        // Cut before the uniqueness test: two long names that differ only after the
        // cut would otherwise end up as one folder.
        record.name = cleanName(record.name, 0xFFFF, true).left(kShownNameLength);
        size = state.albums.appendUnique(std::move(record));
    } catch (const std::bad_alloc &) {
        state.port().showMessage(QStringLiteral("内存分配失败"));
        return state.albums.size();
    }

    state.port().addAlbumRow(size - 1);
    return size;
}
