// An update of owners: each is listed again, and only what is new in the albums the
// download archive holds something of is fetched. Albums the archive does not know
// are neither listed nor downloaded; an owner with nothing archived downloads nothing.

#include "download/DownloadArchive.h"
#include "sources/ListAcquisition.h"
#include "sources/ListContext.h"
#include "sources/RequestSpacing.h"
#include "sources/Sources.h"
#include "support/PrintQt.h"
#include "DownloaderFixture.h"

#include <gtest/gtest.h>

#include <QHash>
#include <QThread>

#include <algorithm>
#include <vector>

namespace pictrove {

namespace {

// The owners the test source lists: their albums, by address. A test fills it.
QHash<QString, QList<AlbumRecord>> g_ownerAlbums;

bool claimsOwner(const QString &address)
{
    return address.startsWith(u"http://owners.example.test/");
}

// The albums of the owner named by the address's last component; their pictures are
// listed by the Sina blog's category lister, from the loopback server.
ListOutcome listOwnerAlbums(const QString &address, ListContext &context)
{
    // "Stalling" lists nothing until it is asked to stop.
    if (address.endsWith(u"/Stalling")) {
        while (!context.albums.stopRequested())
            QThread::msleep(1);
    }
    for (const AlbumRecord &album : g_ownerAlbums.value(address))
        context.albums.addAlbum(album);
    ListOutcome outcome;
    outcome.owner.name = address.section(u'/', -1);
    return outcome;
}

const Source kOwnersSource{"owners", &claimsOwner, &listOwnerAlbums, nullptr, u"", 1};

// The waits the session's request spacing asked of each list of a paced service.
std::vector<int> g_listWaits;

bool claimsPacedOwner(const QString &address)
{
    return address.startsWith(u"http://paced.example.test/");
}

// A service that wants a minute between two requests; lists nothing.
ListOutcome listPacedOwner(const QString &, ListContext &context)
{
    g_listWaits.push_back(context.spacing ? context.spacing->takeTurn(60000) : -1);
    return ListOutcome{};
}

const Source kPacedSource{"paced", &claimsPacedOwner, &listPacedOwner, nullptr, u"", 1};

class OwnerUpdateTest : public DownloaderTest {
protected:
    void SetUp() override
    {
        DownloaderTest::SetUp();
        session.sources.prepend(&kOwnersSource);
        session.sources.prepend(&kPacedSource);
        g_listWaits.clear();
        setRules(kOptionSkipPrevious, 2);
        g_ownerAlbums.clear();
        ownAlbum("Anna", "Trip", 1, trip);
        ownAlbum("Anna", "Sea", 2, sea);
        ownAlbum("Anna", "Later", 3, {{"l1.jpg", "Later", jpeg("L")}});
        ownAlbum("Bob", "Park", 4, {{"p1.jpg", "Bench", jpeg("P")}, {"p2.jpg", "Tree", jpeg("Q")}});
    }
    void TearDown() override
    {
        g_ownerAlbums.clear();
        DownloaderTest::TearDown();
    }

    static QString owner(const char *name) { return QStringLiteral("http://owners.example.test/") + QLatin1String(name); }

    // Album `number` of the category pages, as `name` of the owner.
    void ownAlbum(const char *ownerName, const char *name, int number, const QList<Pic> &pics)
    {
        AlbumRecord record;
        record.source = &kSinaBlogCategoriesSource;
        record.name = QString::fromLatin1(name);
        record.url = QStringLiteral("http://photo.blog.sina.com.cn/category/u/1234/s/%1").arg(number);
        record.pictureCount = int(pics.size());
        g_ownerAlbums[owner(ownerName)].append(record);
        setPictures(number, pics);
    }

    void setPictures(int number, const QList<Pic> &pics)
    {
        server.route("photo.blog.sina.com.cn", "/category/u/1234/s/" + QByteArray::number(number) + "/page1",
                     CannedResponse::ok(categoryPage(pics)));
        for (const Pic &p : pics)
            server.route("s1.sinaimg.cn", "/orignal/" + p.name, CannedResponse::ok(p.body, "image/jpeg"));
    }

    // A first download of the owner's albums at `rows`.
    void download(const char *ownerName, const QList<int> &rows)
    {
        ASSERT_EQ(startList(session, ListRequest{owner(ownerName)}), ListCommand::Started);
        session.waitForThreads();
        ASSERT_EQ(events.listResult(), ListResult::Listed);
        run(rows);
        ASSERT_EQ(events.downloadResult(), DownloadResult::Finished);
    }

    void update(const QString &address)
    {
        UpdateRequest request;
        request.list.ownerAddress = address;
        request.download = requestFor({});
        // The update switches skip-previous on itself, and downloads even when the
        // options ask for Thunder lists only.
        request.download.rules.options = kOptionThunderListOnly;
        ASSERT_EQ(downloader.startUpdate(request), DownloadCommand::Started);
        session.waitForThreads();
    }

    // The category pages asked, sorted.
    QList<QByteArray> listPages() const
    {
        QList<QByteArray> pages;
        for (const RecordedRequest &r : server.requests()) {
            if (r.host() == "photo.blog.sina.com.cn")
                pages.append(r.path());
        }
        std::sort(pages.begin(), pages.end());
        return pages;
    }
};

TEST_F(OwnerUpdateTest, TwoOwnersFetchOnlyTheNewPictureOfTheirArchivedAlbums)
{
    download("Anna", {0, 1});  // Trip and Sea; Later never
    download("Bob", {0});
    ASSERT_EQ(DownloadArchive(downloadArchivePath(session.dataFolder())).count(), 4 + 2 + 2);

    // Sea gets a picture at its top and one in its middle; nothing else changes.
    const Pic fresh{"n1.jpg", "Foam", jpeg("N")};
    const Pic middle{"n2.jpg", "Shell", jpeg("M")};
    setPictures(2, {fresh, sea.at(0), middle, sea.at(1)});
    server.clearLog();
    events.clear();
    update(owner("Anna"));
    update(owner("Bob"));

    QList<QByteArray> fetched = pictureRequests();
    std::sort(fetched.begin(), fetched.end());  // two workers
    EXPECT_EQ(fetched, (QList<QByteArray>{"/orignal/n1.jpg", "/orignal/n2.jpg"}));
    // Each archived album is listed (past its marker, so a picture in the middle is
    // found too); Later, never downloaded, is not even listed.
    EXPECT_EQ(listPages(), (QList<QByteArray>{"/category/u/1234/s/1/page1", "/category/u/1234/s/2/page1",
                                              "/category/u/1234/s/4/page1"}));
    EXPECT_EQ(events.logOf(QStringLiteral("updateAlbumsChosen")),
              (QStringList{"updateAlbumsChosen 0,1", "updateAlbumsChosen 0"}));
    EXPECT_EQ(events.logOf(QStringLiteral("updateFinished")),
              (QStringList{"updateFinished Updated list=Listed albums=2/3 download=Finished saved=2",
                           "updateFinished Updated list=Listed albums=1/1 download=Finished saved=0"}));
    EXPECT_EQ(read(base() + QStringLiteral("Sea/Foam.jpg")), fresh.body);
    EXPECT_EQ(read(base() + QStringLiteral("Sea/Shell.jpg")), middle.body);
    EXPECT_FALSE(downloader.isRunning());
    EXPECT_EQ(session.listState.load(), ListState::Idle);
}

// What an update does when it cannot download anything: its result says why, and no
// picture is asked for.
TEST_F(OwnerUpdateTest, AnUpdateThatDownloadsNothingSaysWhy)
{
    download("Anna", {0});
    const struct {
        QString address;
        bool useArchive;
        QString finished;
    } cases[] = {
        {owner("Bob"), true, "updateFinished NothingArchived list=Listed albums=0/1"},
        {owner("Nobody"), true, "updateFinished NotListed list=NothingFound albums=0/0"},
        {QStringLiteral("owners.example.test/Anna"), true, "updateFinished NotListed list=NotWebAddress albums=0/0"},
        {owner("Anna"), false, "updateFinished NoArchive list=Listed albums=0/3"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(qPrintable(c.address));
        server.clearLog();
        events.clear();
        UpdateRequest request;
        request.list.ownerAddress = c.address;
        request.download = requestFor({});
        request.download.useArchive = c.useArchive;
        ASSERT_EQ(downloader.startUpdate(request), DownloadCommand::Started);
        session.waitForThreads();
        EXPECT_EQ(events.logOf(QStringLiteral("updateFinished")), QStringList{c.finished});
        EXPECT_TRUE(events.logOf(QStringLiteral("downloadStarted")).isEmpty());
        EXPECT_TRUE(server.requests().isEmpty());
        EXPECT_FALSE(downloader.isRunning());
    }
}

// The downloader counts as running from the update's start, so its abort reaches the
// list: the update ends there, without a download.
TEST_F(OwnerUpdateTest, AStopWhileListingEndsTheUpdate)
{
    g_ownerAlbums[owner("Stalling")] = g_ownerAlbums.value(owner("Anna"));
    download("Anna", {0});
    events.clear();
    server.clearLog();
    UpdateRequest request;
    request.list.ownerAddress = owner("Stalling");
    request.download = requestFor({});
    ASSERT_EQ(downloader.startUpdate(request), DownloadCommand::Started);
    EXPECT_TRUE(downloader.isRunning());
    downloader.requestAbort();
    session.waitForThreads();
    EXPECT_EQ(events.logOf(QStringLiteral("updateFinished")),
              QStringList{"updateFinished Stopped list=Stopped albums=0/3"});
    EXPECT_TRUE(server.requests().isEmpty());
    EXPECT_FALSE(downloader.isRunning());
}

// Owners updated one after another in one session share its request spacing: the
// second owner's first request waits for the pace the first owner's last one set.
TEST_F(OwnerUpdateTest, TheServicesPaceCarriesOverFromOwnerToOwner)
{
    update(QStringLiteral("http://paced.example.test/first"));
    update(QStringLiteral("http://paced.example.test/second"));
    ASSERT_EQ(g_listWaits.size(), 2u);
    EXPECT_EQ(g_listWaits[0], 0);
    // Some of the minute is still to wait: the test takes far less than a minute.
    EXPECT_GT(g_listWaits[1], 0);
}

}  // namespace

}  // namespace pictrove
