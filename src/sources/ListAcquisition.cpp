#include "sources/ListAcquisition.h"

#include "settings/ExtensionSettings.h"
#include "settings/SettingsStore.h"
#include "sources/Session.h"
#include "sources/SinaBlogSource.h"
#include "sources/WeiboAddress.h"
#include "sources/WeiboSource.h"
#include "text/CleanName.h"

#include <algorithm>

namespace pictrove {

namespace {

// Linux allows 255 bytes of UTF-8 in one path component.
constexpr qsizetype kMaxComponentBytes = 255;

bool isWebAddress(const QString &text)
{
    // A control character (a NUL above all) would cut the address short on its way to
    // the HTTP library, which would then fetch another address than the one shown.
    const bool control = std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x20; });
    return !control && (text.contains(u"http://") || text.contains(u"https://"));
}

// Chooses the list kind from the address and runs its fetcher.
void runFetcher(Session &session, const QString &address)
{
    if (address.indexOf(u"/s/", 1) >= 0) {
        // Article lists are paged as "<base>_<page>.html".
        session.listKind = ListKind::BlogArticles;
        const qsizetype underscore = address.lastIndexOf(u'_');
        sinaBlogArticles(session, underscore < 0 ? QString() : address.left(underscore));
    } else if (address.indexOf(u"weibo.com", 1) >= 0 || isWeiboAddress(address)) {
        session.listKind = ListKind::WeiboAlbums;
        weiboAlbums(session, address);
    } else {
        session.listKind = ListKind::BlogCategories;
        sinaBlogCategories(session, address);
    }
}

void rememberAddress(Session &session, const QString &address)
{
    bool added = false;
    session.updateSettings([&](SettingsBlock &block) { added = addHistory(block, HISTORY_OWNER, address); });
    if (!added)
        return;
    saveSettings(session.dataFolder(), session.settings());
    session.listEvents().ownerAddressRemembered(address);
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

ListCommand startList(Session &session, const ListRequest &request)
{
    // Idle starts a list; running (or already stopping) becomes a stop request. One
    // exchange each, so a list that ends just now cannot be left "stopping" forever.
    for (;;) {
        ListState current = ListState::Idle;
        if (session.listState.compare_exchange_strong(current, ListState::Running))
            break;
        if (session.listState.compare_exchange_strong(current, ListState::StopRequested))
            return ListCommand::StopRequested;
    }

    session.albums.clear();
    session.listKind = ListKind::None;
    if (!session.startThread([&session, request] {
            const ListResult result = runList(session, request);
            const int count = session.albums.size();
            session.listState = ListState::Idle;
            session.listEvents().listFinished(result, count);
        })) {
        session.listState = ListState::Idle;
        return ListCommand::ThreadFailed;
    }
    return ListCommand::Started;
}

void requestListStop(Session &session)
{
    ListState running = ListState::Running;
    session.listState.compare_exchange_strong(running, ListState::StopRequested);
}

ListResult runList(Session &session, const ListRequest &request)
{
    session.setExtensionSettings(readExtensionSettings(session.dataFolder()));
    session.sourceType = request.sourceType;
    session.owner = OwnerInfo();
    session.refusal = ListResult::NothingFound;
    session.refusalDetail.clear();

    const QString address = request.ownerAddress.trimmed();
    if (address.isEmpty())
        return ListResult::NoAddress;

    session.listEvents().listStarted();
    if (!isWebAddress(address))
        return ListResult::NotWebAddress;
    if (!isSinaServiceAddress(address))
        return ListResult::NotSupported;

    runFetcher(session, address);
    session.owner.name = ownerFolderName(session.owner.name);
    session.owner.subFolder = ownerFolderName(session.owner.subFolder);

    if (session.albums.isEmpty()) {
        if (!session.refusalDetail.isEmpty())
            session.listEvents().listFailureDetail(session.refusalDetail);
        return session.refusal;
    }
    rememberAddress(session, address);
    return session.listStopRequested() ? ListResult::Stopped : ListResult::Listed;
}

}  // namespace pictrove
