#include "download/RunContext.h"

#include "download/CleanName.h"
#include "download/DownloadJob.h"
#include "download/FileNaming.h"
#include "sources/MainWindowState.h"

NameRules currentNameRules(const MainWindowState &state)
{
    const int index = state.sourceTypeIndex.load();
    if (index < 0 || index >= SOURCE_TYPE_COUNT)
        return NameRules();
    return state.settings().nameRules[size_t(index)];
}

bool SetDownStateUnlessAborted(MainWindowState &state, uint8_t value)
{
    uint8_t current = state.downState.load();
    while (current != DOWN_ABORT) {
        if (state.downState.compare_exchange_weak(current, value))
            return true;
    }
    return false;
}

QString albumFilePath(const QString &folder, const QString &albumName, const QString &suffix)
{
    return folder + fitUtf8(cleanName(albumName, 0, false), suffix) + suffix;
}
