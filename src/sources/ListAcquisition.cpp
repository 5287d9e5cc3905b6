#include "sources/ListAcquisition.h"

#include "settings/ExtensionSettings.h"
#include "settings/SettingsStore.h"
#include "sources/AddAlbum.h"
#include "sources/ListContext.h"
#include "sources/Session.h"
#include "sources/Sources.h"
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

// The session's album list and list events, as a lister's collector.
class SessionAlbums : public AlbumCollector {
public:
    explicit SessionAlbums(Session &session)
        : m_session(session)
    {
    }
    void addAlbum(const AlbumRecord &album) override { pictrove::addAlbum(m_session, album); }
    bool stopRequested() const override { return m_session.listStopRequested(); }
    void waitingForRateLimit(int seconds) override { m_session.listEvents().report(event::ListWaiting{seconds}); }

private:
    Session &m_session;
};

void rememberAddress(Session &session, const QString &address)
{
    bool added = false;
    session.updateSettings([&](SettingsBlock &block) { added = addHistory(block, kHistoryOwner, address); });
    if (!added)
        return;
    saveSettings(session.dataFolder(), session.settings());
    session.listEvents().report(event::OwnerAddressRemembered{address});
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
    session.listedBy = nullptr;
    if (!session.startThread([&session, request] {
            const ListResult result = runList(session, request);
            const int count = session.albums.size();
            session.listState = ListState::Idle;
            session.listEvents().report(event::ListFinished{result, count});
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
    session.listedBy = nullptr;

    const QString address = request.ownerAddress.trimmed();
    if (address.isEmpty())
        return ListResult::NoAddress;

    session.listEvents().report(event::ListStarted{});
    if (!isWebAddress(address))
        return ListResult::NotWebAddress;
    const Source *source = sourceFor(session.sources, address);
    if (!source || !source->listAlbums)
        return ListResult::NotSupported;
    session.listedBy = source;

    SessionAlbums albums(session);
    ListContext context{session.dataFolder(), session.extensionSettings(), session.sleep, session.requestSpacing,
                        albums};
    const ListOutcome outcome = source->listAlbums(address, context);
    session.owner = outcome.owner;
    session.owner.name = ownerFolderName(session.owner.name);
    session.owner.subFolder = ownerFolderName(session.owner.subFolder);

    if (session.albums.isEmpty()) {
        if (!outcome.refusalDetail.isEmpty())
            session.listEvents().report(event::ListFailureDetail{outcome.refusalDetail});
        return outcome.refusal;
    }
    rememberAddress(session, address);
    return session.listStopRequested() ? ListResult::Stopped : ListResult::Listed;
}

}  // namespace pictrove
