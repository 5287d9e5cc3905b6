#include "sources/ListAcquisition.h"

#include "download/CleanName.h"
#include "settings/ExtensionSettings.h"
#include "settings/SettingsStore.h"
#include "sources/AddressClassifier.h"
#include "sources/MainWindowState.h"
#include "sources/SinaBlogSource.h"
#include "sources/WeiboSource.h"
#include "sources/WindowPort.h"

#include <initializer_list>

namespace {

// Controls a running list must not let the user touch.
constexpr std::initializer_list<int> kLockedWhileListing = {
    IDC_SOURCE_TYPE, IDC_DOWNLOAD,     IDC_OWNER_ADDRESS, IDC_THUMBNAILS, IDC_PRAISE_LINK1,
    IDC_PRAISE_LINK2, IDC_PRAISE_LINK3, IDC_FIND,          IDC_FILTER,     IDC_EXPORT,
};

// Linux allows 255 bytes of UTF-8 in one path component.
constexpr qsizetype kMaxComponentBytes = 255;

bool isWebAddress(const QString &text)
{
    return text.contains(u"http://") || text.contains(u"https://");
}

void enterRunningState(WindowPort &port)
{
    for (const int id : kLockedWhileListing)
        port.setEnabled(id, false);
    port.setChecked(IDC_SELECT_ALL, false);
    port.setText(IDC_GET_LIST, QStringLiteral("终止获取"));
    port.setText(IDC_LIST_FRAME, QStringLiteral("相册列表"));
    port.setText(IDC_STATUS, QStringLiteral("正在获取相册列表，请稍等..."));
    port.setText(IDC_STATUS_DETAIL, QString());
    port.setVisible(IDC_BANNER, false);
}

void leaveRunningState(MainWindowState &state, int count)
{
    WindowPort &port = state.port();
    state.listState = LIST_IDLE;
    for (const int id : kLockedWhileListing) {
        // Nothing to download until a list has albums.
        port.setEnabled(id, id != IDC_DOWNLOAD || count >= 1);
    }
    port.setText(IDC_GET_LIST, QStringLiteral("获取相册"));
}

// Chooses the list type from the address and runs its fetcher.
void runFetcher(MainWindowState &state, const QString &address)
{
    if (address.indexOf(u"/s/", 1) >= 0) {
        // Article lists are paged as "<base>_<page>.html".
        state.listType = LIST_BLOG_ARTICLES;
        const qsizetype underscore = address.lastIndexOf(u'_');
        sinaBlogArticles(state, underscore < 0 ? QString() : address.left(underscore));
    } else if (address.indexOf(u"weibo.com", 1) >= 0) {
        state.listType = LIST_WEIBO_ALBUMS;
        weiboAlbums(state, address);
    } else {
        state.listType = LIST_BLOG_CATEGORIES;
        sinaBlogCategories(state, address);
    }
}

void rememberAddress(MainWindowState &state)
{
    const QString address = state.port().text(IDC_OWNER_ADDRESS).trimmed();
    bool added = false;
    state.updateSettings([&](SettingsBlock &block) { added = addHistory(block, HISTORY_OWNER, address); });
    if (!added)
        return;
    state.port().addHistoryItem(IDC_OWNER_ADDRESS, address);
    saveSettings(state.dataFolder, state.settings());
}

}  // namespace

QString ownerFolderName(const QString &name)
{
    QString folder = cleanName(name, kCleanNameTimeFallback, false);
    // A longer name would make every folder below it impossible to create; cut at a
    // character boundary, never inside a surrogate pair.
    while (folder.toUtf8().size() > kMaxComponentBytes) {
        folder.chop(folder.size() >= 2 && folder.at(folder.size() - 1).isLowSurrogate() ? 2 : 1);
        folder = folder.trimmed();
    }
    if (!folder.isEmpty() && !folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

void GetListCommand(MainWindowState &state)
{
    if (!state.readyFlag.load())
        return;
    // Idle starts a list; running (or already stopping) becomes a stop request. One
    // exchange each, so a list that ends just now cannot be left "stopping" forever.
    for (;;) {
        uint8_t current = LIST_IDLE;
        if (state.listState.compare_exchange_strong(current, LIST_RUNNING))
            break;
        if (state.listState.compare_exchange_strong(current, LIST_STOP))
            return;
    }

    state.albums.clear();
    state.port().refreshGrid();
    state.listType = LIST_TYPE_STARTING;
    state.sourceTypeIndex = SOURCE_SINA;
    if (!state.startThread([&state] { GetListFunc(state); })) {
        state.listState = LIST_IDLE;
        state.port().showMessage(QStringLiteral("Create thread:GetListFunc failed."));
    }
}

void GetListFunc(MainWindowState &state)
{
    WindowPort &port = state.port();
    state.setExtensionSettings(readExtensionSettings(state.dataFolder));
    state.sourceTypeIndex = SOURCE_SINA;
    state.owner = OwnerInfo();

    const QString address = port.text(IDC_OWNER_ADDRESS).trimmed();
    if (address.isEmpty()) {
        port.showMessage(QString::fromUtf16(kNoAddressMessage));
        state.listState = LIST_IDLE;
        return;
    }

    enterRunningState(port);
    if (!isWebAddress(address)) {
        port.showMessage(QString::fromUtf16(kNotWebAddressMessage));
    } else {
        runFetcher(state, address);
        if (state.albums.isEmpty())
            port.showMessage(QString::fromUtf16(kNoAlbumMessage));
    }

    state.owner.name = ownerFolderName(state.owner.name);
    state.owner.subFolder = ownerFolderName(state.owner.subFolder);

    port.refreshGrid();
    const int count = state.albums.size();
    port.setText(IDC_LIST_FRAME, QStringLiteral("相册列表(共%1个)").arg(count));
    port.setText(IDC_STATUS, QStringLiteral("获取相册列表完成，共%1个").arg(count));
    leaveRunningState(state, count);

    if (count >= 1)
        rememberAddress(state);
}
