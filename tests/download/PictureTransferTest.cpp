// One picture's transfer against a loopback picture server: the request, size limits,
// fallback addresses, cut and refused transfers with their reasons. How the run's
// workers share the pictures is the download's test.

#include "download/PictureTransfer.h"
#include "download/DownloadEvents.h"
#include "net/NetworkSetup.h"
#include "support/LoopbackServer.h"
#include "support/PrintQt.h"
#include "support/ScopedRouting.h"
#include "QueuedPictures.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <atomic>

namespace pictrove {

namespace {

QByteArray picture(qsizetype size, char fill = 'p')
{
    return QByteArray("\xFF\xD8", 2) + QByteArray(size - 2, fill);
}

const QByteArray kLoginPage = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>\xE7\x99\xBB\xE5\xBD\x95</title>"
                              "</head><body><form action=\"https://login.sina.com.cn/sso/login.php\"></form></body></html>";

// What the transfers of a job brought, picture by picture in queue order.
struct Transferred {
    PictureCounts counts;
    QStringList failedAddresses;
    QStringList reasons;
};

class PictureTransferTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        setRetryPauseHook([](int) {});
        setParams(0, 0);
    }
    void TearDown() override { setRetryPauseHook({}); }

    QString folder() const { return m_dir.path() + u'/'; }

    void setParams(uint16_t minKB, uint16_t maxKB)
    {
        job.settings = DownloadParams{minKB, maxKB, 1, 30};
    }

    // Queues one job per address: address i+1 goes to "<i+1>.jpg".
    void queue(const QStringList &addresses, const QString &headers = QString())
    {
        job.pictures.clear();
        job.folder = folder();
        for (qsizetype i = 0; i < addresses.size(); ++i)
            job.pictures.append({pictureAt(addresses.at(i), QString(), headers), QStringLiteral("%1.jpg").arg(i + 1)});
    }

    // The same answer for /orignal/1.jpg ... /orignal/<count>.jpg.
    void routePictures(int count, const CannedResponse &response)
    {
        for (int i = 1; i <= count; ++i)
            server.route("s1.sinaimg.cn", QByteArray("/orignal/") + QByteArray::number(i) + ".jpg", response);
    }

    static QString address(int i) { return QStringLiteral("http://s1.sinaimg.cn/orignal/%1.jpg").arg(i); }

    // Every picture of the job, one after the other.
    PictureCounts transfer()
    {
        result = Transferred{};
        PictureCounts &counts = result.counts;
        counts.total = int(job.pictures.size());
        for (int i = 0; i < counts.total; ++i) {
            const PictureOutcome outcome = transferPicture(job, i);
            ++counts.done;
            if (outcome.saved) {
                ++counts.saved;
                counts.bytes += outcome.bytes;
            } else {
                ++counts.failed;
                result.failedAddresses.append(job.pictures.at(i).picture.address);
                result.reasons.append(outcome.reason);
            }
        }
        return counts;
    }

    QByteArray read(const QString &name) const
    {
        QFile file(folder() + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QStringList files() const { return QDir(folder()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

    QTemporaryDir m_dir;
    LoopbackServer server;
    ScopedRouting routing{server, {QStringLiteral("s1.sinaimg.cn"), QStringLiteral("img.topitme.com"),
                                   QStringLiteral("s2.sinaimg.cn"), QStringLiteral("album.sina.com.cn")}};
    TransferJob job;
    Transferred result;
};

TEST_F(PictureTransferTest, SavesEveryPictureAndCountsToTheEnd)
{
    for (int i = 1; i <= 3; ++i)
        server.route("s1.sinaimg.cn", QByteArray("/orignal/") + QByteArray::number(i) + ".jpg",
                     CannedResponse::ok(picture(1000 * i), "image/jpeg"));
    queue({address(1), address(2), address(3)}, QStringLiteral("Referer: http://blog.sina.com.cn/"));
    const PictureCounts counts = transfer();

    EXPECT_EQ(files(), (QStringList{"1.jpg", "2.jpg", "3.jpg"}));
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(read(QStringLiteral("%1.jpg").arg(i)), picture(1000 * i));
    for (const RecordedRequest &r : server.requests())
        EXPECT_EQ(r.header("Referer"), "http://blog.sina.com.cn/");

    EXPECT_EQ(counts.total, 3);
    EXPECT_EQ(counts.done, 3);
    EXPECT_EQ(counts.saved, 3);
    EXPECT_EQ(counts.failed, 0);
    EXPECT_EQ(counts.bytes, 1000 + 2000 + 3000);
    EXPECT_TRUE(result.failedAddresses.isEmpty());
}

TEST_F(PictureTransferTest, SizeLimitsOnAnnouncedAndReceivedLength)
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
        setParams(c.minKB, c.maxKB);
        queue({address(1)});
        const PictureCounts counts = transfer();
        EXPECT_EQ(files(), c.saved ? QStringList{"1.jpg"} : QStringList());
        EXPECT_EQ(counts.saved, c.saved ? 1 : 0);
        EXPECT_EQ(result.failedAddresses, c.saved ? QStringList() : QStringList{address(1)});
    }
}

TEST_F(PictureTransferTest, FallbackAddress)
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
        // A blog article's picture falls back to the old album host.
        {"not found, album link", CannedResponse::error(404, "gone"), "album.sina.com.cn", true},
        {"a picture", CannedResponse::ok(picture(599), "image/jpeg"), "s2.sinaimg.cn", false},
        {"topitme placeholder", CannedResponse::ok(picture(599), "image/jpeg"), "img.topitme.com", true},
        {"topitme picture", CannedResponse::ok(picture(600), "image/jpeg"), "img.topitme.com", false},
        {"login page", CannedResponse::ok(kLoginPage), "s2.sinaimg.cn", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        QFile::remove(folder() + QStringLiteral("1.jpg"));
        server.clearLog();
        server.route("s1.sinaimg.cn", "/orignal/1.jpg", c.first);
        server.route(c.fallbackHost, "/big/1.jpg", CannedResponse::ok(fallbackBody, "image/jpeg"));
        queue({address(1)});
        job.pictures[0].picture.fallbackAddress = QStringLiteral("http://%1/big/1.jpg").arg(QLatin1String(c.fallbackHost));
        const PictureCounts counts = transfer();

        EXPECT_EQ(counts.saved, 1);
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

TEST_F(PictureTransferTest, CutTransferLeavesNoFile)
{
    routePictures(3, CannedResponse::ok(picture(20000), "image/jpeg"));
    server.route("s1.sinaimg.cn", "/orignal/2.jpg",
                 CannedResponse::ok(picture(20000), "image/jpeg").withCut(8000));
    queue({address(1), address(2), address(3)});
    const PictureCounts counts = transfer();

    // Nothing under the cut picture's name, and no temporary file left behind.
    EXPECT_EQ(files(), (QStringList{"1.jpg", "3.jpg"}));
    EXPECT_EQ(counts.saved, 2);
    EXPECT_EQ(counts.failed, 1);
    EXPECT_EQ(counts.bytes, 2 * 20000);
    EXPECT_EQ(result.failedAddresses, QStringList{address(2)});
}

TEST_F(PictureTransferTest, RefusedAndCutPicturesFailWithTheirReason)
{
    const struct {
        const char *label;
        CannedResponse answer;
        bool saved;
        const char *reason;  // part of the reported reason
    } cases[] = {
        {"saved", CannedResponse::ok(picture(4000), "image/jpeg"), true, ""},
        {"not found", CannedResponse::error(404, "gone"), false, "HTTP/1.1 404"},
        {"forbidden", CannedResponse::error(403), false, "HTTP/1.1 403"},
        {"cut short", CannedResponse::ok(picture(20000), "image/jpeg").withCut(8000), false, ""},
        {"saved too", CannedResponse::ok(picture(6000), "image/jpeg"), true, ""},
    };
    QStringList addresses;
    QStringList failedAddresses;
    qint64 savedBytes = 0;
    int saved = 0;
    for (int i = 1; i <= int(std::size(cases)); ++i) {
        const auto &c = cases[i - 1];
        server.route("s1.sinaimg.cn", QByteArray("/orignal/") + QByteArray::number(i) + ".jpg", c.answer);
        addresses.append(address(i));
        if (c.saved) {
            ++saved;
            savedBytes += c.answer.body.size();
        } else {
            failedAddresses.append(address(i));
        }
    }
    queue(addresses);
    const PictureCounts counts = transfer();

    EXPECT_EQ(counts.total, 5);
    EXPECT_EQ(counts.done, 5);
    EXPECT_EQ(counts.saved, saved);
    EXPECT_EQ(counts.failed, 5 - saved);
    EXPECT_EQ(counts.bytes, savedBytes);
    ASSERT_EQ(result.failedAddresses, failedAddresses);
    int f = 0;
    for (const auto &c : cases) {
        if (c.saved)
            continue;
        SCOPED_TRACE(c.label);
        const QString reason = result.reasons.at(f++);
        EXPECT_FALSE(reason.isEmpty());
        EXPECT_TRUE(reason.contains(QLatin1String(c.reason))) << reason.toStdString();
    }
}

// A 200 whose body is not the picture: never saved under the picture's name (where
// skip-previous would keep it for ever), tried again like any failure, and reported
// with what it was.
TEST_F(PictureTransferTest, AnswerThatIsNotAPictureIsNotSaved)
{
    const struct {
        const char *what;
        CannedResponse answer;
        const char *reason;
    } cases[] = {
        {"empty body", CannedResponse::ok(QByteArray(), "image/jpeg"), "空文件"},
        {"login page", CannedResponse::ok(kLoginPage), "不是图片：登录页面"},
        {"login page sent as a picture", CannedResponse::ok(kLoginPage, "image/jpeg"), "不是图片：登录页面"},
        {"error page", CannedResponse::ok("<html><body>busy, try again</body></html>"), "不是图片：网页"},
        {"JSON answer", CannedResponse::ok("{\"code\":\"A20003\",\"msg\":\"invalid\"}", "application/json"),
         "不是图片：JSON 应答"},
        {"gzip login page", CannedResponse::ok(kLoginPage, "image/jpeg").withGzip(), "不是图片：登录页面"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        server.clearLog();
        server.route("s1.sinaimg.cn", "/orignal/1.jpg", c.answer);
        queue({address(1)});
        const PictureCounts counts = transfer();
        EXPECT_EQ(counts.saved, 0);
        EXPECT_EQ(counts.bytes, 0);
        EXPECT_EQ(files(), QStringList());
        EXPECT_EQ(result.reasons, QStringList{QString::fromUtf8(c.reason)});
        EXPECT_EQ(server.requestCount(), 2);
    }
}

// A stop reaches a transfer that receives nothing: it ends at once, leaves no file, and
// neither a second try nor the fallback address is asked for.
TEST_F(PictureTransferTest, StopEndsAStalledTransfer)
{
    const struct {
        const char *what;
        CannedResponse answer;
    } cases[] = {
        {"no answer yet", CannedResponse::ok(picture(20000), "image/jpeg").withLatency(60000)},
        {"body stalls", CannedResponse::ok(picture(20000), "image/jpeg").withStall(8000, 60000)},
    };
    // A short time limit, so that a transfer the stop does not reach fails here quickly.
    job.settings.timeoutSeconds = 3;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        server.clearLog();
        std::atomic<bool> stop{false};
        server.route("s1.sinaimg.cn", "/orignal/1.jpg", LoopbackServer::Handler([&](const RecordedRequest &) {
            stop = true;
            return c.answer;
        }));
        server.route("s2.sinaimg.cn", "/big/1.jpg", CannedResponse::ok(picture(5000), "image/jpeg"));
        queue({address(1)});
        job.pictures[0].picture.fallbackAddress = QStringLiteral("http://s2.sinaimg.cn/big/1.jpg");
        job.stopRequested = [&stop] { return stop.load(); };
        const PictureCounts counts = transfer();
        EXPECT_EQ(counts.saved, 0);
        EXPECT_EQ(files(), QStringList());
        EXPECT_EQ(result.reasons, QStringList{QStringLiteral("已停止")});
        EXPECT_EQ(server.requestCount(), 1);
    }
}

}  // namespace

}  // namespace pictrove
