// The coordinator and its workers against a loopback picture server: progress, the
// single-worker pause, size limits, fallback addresses, cut transfers, and workers
// that keep their own copy of the job while the driver reuses it.

#include "download/TransferCoordinator.h"
#include "download/DownloadJob.h"
#include "net/NetworkSetup.h"
#include "sources/MainWindowState.h"
#include "support/LoopbackServer.h"
#include "support/RecordingWindowPort.h"
#include "support/ScopedRouting.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include <future>
#include <mutex>

namespace {

QByteArray picture(qsizetype size, char fill = 'p')
{
    return QByteArray("\xFF\xD8", 2) + QByteArray(size - 2, fill);
}

class TransferTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        setRetryPauseHook([](int) {});
        state.sleep = [this](int ms) {
            std::lock_guard lock(m_pausesMutex);
            m_pauses.append(ms);
        };
        setParams(0, 0, 5);
    }
    void TearDown() override { setRetryPauseHook({}); }

    QString folder() const { return m_dir.path() + u'/'; }

    void setParams(uint16_t minKB, uint16_t maxKB, uint16_t threads)
    {
        state.downloadJob.downloadSettings = DownloadParams{minKB, maxKB, threads, 30};
    }

    // Queues `count` jobs "http://s1.sinaimg.cn/orignal/<i>.jpg" -> "<i>.jpg".
    void queue(const QStringList &addresses, const QString &headers = QString())
    {
        DownloadJob &job = state.downloadJob;
        job.clearQueue();
        job.setJobFolder(folder());
        for (qsizetype i = 0; i < addresses.size(); ++i)
            job.queuePicture(addresses.at(i), QStringLiteral("%1.jpg").arg(i + 1), headers);
    }

    // The same answer for /orignal/1.jpg ... /orignal/<count>.jpg.
    void routePictures(int count, const CannedResponse &response)
    {
        for (int i = 1; i <= count; ++i)
            server.route("s1.sinaimg.cn", QByteArray("/orignal/") + QByteArray::number(i) + ".jpg", response);
    }

    static QString address(int i) { return QStringLiteral("http://s1.sinaimg.cn/orignal/%1.jpg").arg(i); }

    void transfer()
    {
        std::thread coordinator = StartCoordinator(state);
        ASSERT_TRUE(coordinator.joinable());
        coordinator.join();
    }

    QByteArray read(const QString &name) const
    {
        QFile file(folder() + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QStringList files() const { return QDir(folder()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

    QList<int> pauses()
    {
        std::lock_guard lock(m_pausesMutex);
        return m_pauses;
    }

    QTemporaryDir m_dir;
    LoopbackServer server;
    ScopedRouting routing{server, {QStringLiteral("s1.sinaimg.cn"), QStringLiteral("img.topitme.com"),
                                   QStringLiteral("s2.sinaimg.cn")}};
    RecordingWindowPort port;
    MainWindowState state{port};
    std::mutex m_pausesMutex;
    QList<int> m_pauses;
};

TEST_F(TransferTest, SavesEveryPictureAndCountsToTheEnd)
{
    for (int i = 1; i <= 3; ++i)
        server.route("s1.sinaimg.cn", QByteArray("/orignal/") + QByteArray::number(i) + ".jpg",
                     CannedResponse::ok(picture(1000 * i), "image/jpeg"));
    queue({address(1), address(2), address(3)}, QStringLiteral("Referer: http://blog.sina.com.cn/"));
    transfer();

    EXPECT_EQ(files(), (QStringList{"1.jpg", "2.jpg", "3.jpg"}));
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(read(QStringLiteral("%1.jpg").arg(i)), picture(1000 * i));
    for (const RecordedRequest &r : server.requests())
        EXPECT_EQ(r.header("Referer"), "http://blog.sina.com.cn/");

    // Progress only rises and always reaches n/n; with three workers for three jobs
    // two may end before the coordinator looks, so intermediate steps may merge.
    const QStringList progress = port.textsOf(IDC_STATUS_DETAIL);
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_EQ(progress.last(), QStringLiteral("已下载3/3......"));
    for (qsizetype i = 1; i < progress.size(); ++i)
        EXPECT_LT(progress.at(i - 1), progress.at(i));
    EXPECT_EQ(state.downloadJob.doneCount.load(), 3);
    EXPECT_EQ(state.downloadJob.transferActive.load(), 0);
    EXPECT_TRUE(pauses().isEmpty());  // several workers: no pause
}

TEST_F(TransferTest, NoJobEndsAtOnce)
{
    queue({});
    transfer();
    EXPECT_TRUE(port.textsOf(IDC_STATUS_DETAIL).isEmpty());
    EXPECT_EQ(server.requestCount(), 0);
    EXPECT_EQ(state.downloadJob.transferActive.load(), 0);
}

TEST_F(TransferTest, OneWorkerPausesBetweenTransfersInQueueOrder)
{
    routePictures(3, CannedResponse::ok(picture(100), "image/jpeg"));
    setParams(0, 0, 1);
    queue({address(1), address(2), address(3)});
    transfer();

    EXPECT_EQ(pauses(), (QList<int>{2000, 2000}));
    EXPECT_EQ(port.textsOf(IDC_STATUS_DETAIL),
              (QStringList{"已下载1/3......", "已下载2/3......", "已下载3/3......"}));
    QList<QByteArray> order;
    for (const RecordedRequest &r : server.requests())
        order.append(r.path());
    EXPECT_EQ(order, (QList<QByteArray>{"/orignal/1.jpg", "/orignal/2.jpg", "/orignal/3.jpg"}));
}

TEST_F(TransferTest, SizeLimitsOnAnnouncedAndReceivedLength)
{
    using Framing = CannedResponse::Framing;
    const struct {
        const char *label;
        uint16_t minKB;
        uint16_t maxKB;
        qsizetype size;
        Framing framing;
        bool saved;
    } cases[] = {
        {"below the minimum", 10, 0, 9 * 1024, Framing::ContentLength, false},
        {"above the minimum", 10, 0, 11 * 1024, Framing::ContentLength, true},
        {"announced above the maximum", 0, 10, 11 * 1024, Framing::ContentLength, false},
        {"received above the maximum", 0, 10, 11 * 1024, Framing::Chunked, false},
        {"received below the minimum", 10, 0, 9 * 1024, Framing::CloseDelimited, false},
        {"within the maximum", 0, 10, 9 * 1024, Framing::Chunked, true},
        {"no limits", 0, 0, 300 * 1024, Framing::Chunked, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        QFile::remove(folder() + QStringLiteral("1.jpg"));
        server.route("s1.sinaimg.cn", "/orignal/1.jpg",
                     CannedResponse::ok(picture(c.size), "image/jpeg").withFraming(c.framing));
        setParams(c.minKB, c.maxKB, 3);
        queue({address(1)});
        transfer();
        EXPECT_EQ(files(), c.saved ? QStringList{"1.jpg"} : QStringList());
        EXPECT_EQ(port.textsOf(IDC_STATUS_DETAIL).last(), QStringLiteral("已下载1/1......"));
    }
}

TEST_F(TransferTest, FallbackAddress)
{
    const QByteArray fallbackBody = picture(5000, 'f');
    const struct {
        const char *label;
        CannedResponse first;
        const char *fallbackHost;
        bool fallbackFetched;
    } cases[] = {
        {"empty body", CannedResponse::ok(QByteArray(), "image/jpeg"), "s2.sinaimg.cn", true},
        {"not found", CannedResponse::error(404, "gone"), "s2.sinaimg.cn", true},
        {"a picture", CannedResponse::ok(picture(599), "image/jpeg"), "s2.sinaimg.cn", false},
        {"topitme placeholder", CannedResponse::ok(picture(599), "image/jpeg"), "img.topitme.com", true},
        {"topitme picture", CannedResponse::ok(picture(600), "image/jpeg"), "img.topitme.com", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        QFile::remove(folder() + QStringLiteral("1.jpg"));
        server.clearLog();
        server.route("s1.sinaimg.cn", "/orignal/1.jpg", c.first);
        server.route(c.fallbackHost, "/big/1.jpg", CannedResponse::ok(fallbackBody, "image/jpeg"));
        queue({address(1) + QStringLiteral("\r\nhttp://%1/big/1.jpg").arg(QLatin1String(c.fallbackHost))});
        transfer();

        bool asked = false;
        for (const RecordedRequest &r : server.requests())
            asked = asked || r.path() == "/big/1.jpg";
        EXPECT_EQ(asked, c.fallbackFetched);
        if (c.fallbackFetched)
            EXPECT_EQ(read(QStringLiteral("1.jpg")), fallbackBody);
        else
            EXPECT_EQ(read(QStringLiteral("1.jpg")), c.first.body);
    }
}

TEST_F(TransferTest, CutTransferLeavesNoFile)
{
    routePictures(3, CannedResponse::ok(picture(20000), "image/jpeg"));
    server.route("s1.sinaimg.cn", "/orignal/2.jpg",
                 CannedResponse::ok(picture(20000), "image/jpeg").withCut(8000));
    setParams(0, 0, 2);
    queue({address(1), address(2), address(3)});
    transfer();

    // Nothing under the cut picture's name, and no temporary file left behind.
    EXPECT_EQ(files(), (QStringList{"1.jpg", "3.jpg"}));
    EXPECT_EQ(port.textsOf(IDC_STATUS_DETAIL).last(), QStringLiteral("已下载3/3......"));
}

TEST_F(TransferTest, WorkersKeepTheirCopyWhileTheJobIsReused)
{
    routePictures(5, CannedResponse::ok(picture(4000), "image/jpeg").withLatency(20));
    setParams(0, 0, 2);
    queue({address(1), address(2), address(3), address(4), address(5)});
    std::thread coordinator = StartCoordinator(state);
    ASSERT_TRUE(coordinator.joinable());
    // The driver side rewrites the job at once, as it would for the next album if it
    // did not wait; the transfers must not notice.
    QTemporaryDir other;
    queue({QStringLiteral("http://s2.sinaimg.cn/x.jpg")});
    state.downloadJob.setJobFolder(other.path() + u'/');
    coordinator.join();

    state.downloadJob.setJobFolder(folder());
    EXPECT_EQ(files(), (QStringList{"1.jpg", "2.jpg", "3.jpg", "4.jpg", "5.jpg"}));
    EXPECT_TRUE(QDir(other.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(TransferTest, AbortStopsStartingTransfersAndWaitsForRunningOnes)
{
    // The first picture's answer requests the abort; the second one is held back until
    // then, so no transfer ends before the abort and the coordinator's first wake-up
    // sees it. The second transfer still completes before the coordinator ends.
    std::promise<void> aborted;
    std::shared_future<void> abortSeen = aborted.get_future().share();
    routePictures(5, CannedResponse::ok(picture(3000), "image/jpeg"));
    server.route("s1.sinaimg.cn", "/orignal/1.jpg", [&](const RecordedRequest &) {
        state.downState = DOWN_ABORT;
        state.downloadJob.stopFlag = 1;
        aborted.set_value();
        return CannedResponse::ok(picture(3000), "image/jpeg");
    });
    server.route("s1.sinaimg.cn", "/orignal/2.jpg", [abortSeen](const RecordedRequest &) {
        abortSeen.wait_for(std::chrono::seconds(30));  // a bound against a hang only
        return CannedResponse::ok(picture(3000), "image/jpeg").withLatency(50);
    });
    setParams(0, 0, 2);
    state.downState = DOWN_RUNNING;
    queue({address(1), address(2), address(3), address(4), address(5)});
    transfer();

    QSet<QByteArray> asked;
    for (const RecordedRequest &r : server.requests())
        asked.insert(r.path());
    EXPECT_EQ(asked, (QSet<QByteArray>{"/orignal/1.jpg", "/orignal/2.jpg"}));
    EXPECT_EQ(files(), (QStringList{"1.jpg", "2.jpg"}));
    for (const QString &name : files())
        EXPECT_EQ(read(name), picture(3000)) << name.toStdString();
    EXPECT_EQ(state.downloadJob.transferActive.load(), 0);
}

}  // namespace
