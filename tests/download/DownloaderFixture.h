#pragma once
// A download run's test bed: chosen Sina blog albums whose category pages and pictures
// come from a loopback server, a session with its data folder, and the events.

#include "download/Downloader.h"
#include "net/NetworkSetup.h"
#include "sources/Session.h"
#include "sources/sinablog/SinaBlogSource.h"
#include "support/LoopbackServer.h"
#include "support/RecordingEvents.h"
#include "support/ScopedRouting.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace pictrove {

struct Pic {
    QByteArray name;   // picture file on the server, under /orignal/
    QByteArray title;  // as the page shows it
    QByteArray body;
};

inline QByteArray jpeg(const QByteArray &tag)
{
    return QByteArray("\xFF\xD8\xFF\xE0", 4) + tag.repeated(200);
}

inline QByteArray utf16(const QString &text)
{
    return QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
}

// A photo-blog category page as the service sends it: one "pt_border" cell per picture
// with the small picture's address and its title, and a next-page link when more follow.
inline QByteArray categoryPage(const QList<Pic> &pics, bool more = false)
{
    QByteArray page = "<html><head><title>Anna的相册_新浪博客</title></head><body>\n"
                      "<div class=\"photoList\">\n";
    for (const Pic &p : pics) {
        page += "<div class=\"pt_border\"><a href=\"http://photo.blog.sina.com.cn/photo/"
                + p.name + "\" target=\"_blank\"><img src=\"http://s1.sinaimg.cn/small/" + p.name
                + "\" title=\"" + p.title + "\" alt=\"\" /></a></div>\n";
    }
    page += "</div>\n<div class=\"SG_page\">";
    if (more)
        page += "<a href=\"#\" title=\"next\">下一页</a>";
    page += "</div></body></html>\n";
    return page;
}

inline QString pictureAddress(const Pic &p)
{
    return QStringLiteral("http://s1.sinaimg.cn/orignal/") + QString::fromLatin1(p.name);
}

class DownloaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        setRetryPauseHook([](int) {});
        session.setDataFolder(m_dir.path() + QStringLiteral("/data/"));
        QDir().mkpath(session.dataFolder());
        session.sourceType = SourceType::Sina;
        session.owner.name = QStringLiteral("Anna/");
        session.sleep = [](int) {};
        savePath = QStringLiteral("  ") + m_dir.path() + QStringLiteral("/save ");
        setRules(kOptionOpenFolder, 2);
    }
    void TearDown() override { setRetryPauseHook({}); }

    void setRules(uint16_t options, uint16_t threads, uint8_t folderBase = kFolderBaseAlbumName)
    {
        session.updateSettings([&](SettingsBlock &block) {
            const int sina = settingsIndex(SourceType::Sina);
            block.downloadParams[sina] = DownloadParams{0, 0, threads, 30};
            block.nameRules[sina].options = options;
            block.nameRules[sina].folderBase = folderBase;
        });
    }

    // An album whose pictures are listed on one category page and served by the server.
    void addAlbum(const QString &name, const QList<Pic> &pics)
    {
        const int number = session.albums.size() + 1;
        AlbumRecord record;
        record.source = &kSinaBlogCategoriesSource;
        record.name = name;
        record.url = QStringLiteral("http://photo.blog.sina.com.cn/category/u/1234/s/%1").arg(number);
        session.albums.appendUnique(record);
        server.route("photo.blog.sina.com.cn",
                     "/category/u/1234/s/" + QByteArray::number(number) + "/page1",
                     CannedResponse::ok(categoryPage(pics)));
        for (const Pic &p : pics)
            server.route("s1.sinaimg.cn", "/orignal/" + p.name, CannedResponse::ok(p.body, "image/jpeg"));
    }

    // The request the front end makes from the settings, the save path and the rows.
    DownloadRequest requestFor(const QList<int> &albums) const
    {
        return downloadRequestFor(session.settings(), SourceType::Sina, savePath, albums);
    }

    void run(const QList<int> &albums)
    {
        ASSERT_EQ(downloader.start(requestFor(albums)), DownloadCommand::Started);
        session.waitForThreads();
    }

    QString base() const { return m_dir.path() + QStringLiteral("/save/Anna/"); }

    QStringList filesIn(const QString &folder) const
    {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    QByteArray read(const QString &path) const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    // Paths of the picture requests, in arrival order.
    QList<QByteArray> pictureRequests() const
    {
        QList<QByteArray> paths;
        for (const RecordedRequest &r : server.requests()) {
            if (r.host() == "s1.sinaimg.cn")
                paths.append(r.path());
        }
        return paths;
    }

    QTemporaryDir m_dir;
    LoopbackServer server;
    ScopedRouting routing{server, {QStringLiteral("photo.blog.sina.com.cn"), QStringLiteral("s1.sinaimg.cn")}};
    RecordingEvents events;
    Session session{QString(), events};
    Downloader downloader{session, events};
    QString savePath;

    const QList<Pic> trip = {
        {"t1.jpg", "Sunset", jpeg("1")},
        {"t2.jpg", "../../escape", jpeg("2")},
        {"t3.jpg", "C:\\x\\y.jpg", jpeg("3")},
        {"t4.jpg", "Sunset", jpeg("4")},
    };
    const QList<Pic> sea = {
        {"s1.jpg", "Wave", jpeg("5")},
        {"s2.jpg", "", jpeg("6")},
    };
};

}  // namespace pictrove
