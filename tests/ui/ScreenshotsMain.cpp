// pictrove_screenshots OUTDIR: renders the main window (an owner's albums listed, a
// download under way) and the two settings dialogs offscreen, against loopback
// stand-ins of the configuration service, the Sina blog and its picture host, and
// saves them as OUTDIR/*.png for the README and the AppStream metadata. Run by
// scripts/screenshots.sh; not a test.

#include "UiTestSupport.h"

#include "../sources/SinaServices.h"

#include "download/Downloader.h"
#include "grid/AlbumGrid.h"
#include "net/NetworkSetup.h"
#include "settings/DataFolder.h"
#include "settings/SettingsBlock.h"
#include "sources/Session.h"
#include "support/Fixtures.h"
#include "support/LoopbackServer.h"
#include "ui/mainwindow/ControlAccess.h"
#include "ui/mainwindow/ControlIds.h"
#include "ui/dialogs/DownloadSettingsDialog.h"
#include "ui/dialogs/FileNameRulesDialog.h"
#include "ui/mainwindow/MainWindow.h"
#include "ui/startup/StartupAddress.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QClipboard>

#include <cstdio>

using namespace pictrove;

namespace {

const char *const kOwner = "http://blog.sina.com.cn/u/1234567890";

struct Album {
    int id;
    const char *name;
    int pictures;
};

const Album kAlbums[] = {
    {101, "旅行", 12}, {102, "家人", 8}, {103, "春天的花", 15}, {104, "美食", 6}, {105, "猫", 9}, {106, "老照片", 4},
};

// The blog on loopback: an owner with the albums above, each holding one page of
// pictures that arrive slowly enough for a download to be photographed under way.
void serveBlog(SinaServices &blog)
{
    blog.routeFixture("blog.sina.com.cn", "/u/1234567890", QStringLiteral("sina_blog_owner.html"));
    QStringList categories;
    for (const Album &album : kAlbums) {
        // In the service's field order, which the list reads in sequence, with "/"
        // escaped as the service's encoder writes it.
        categories.append(
            QStringLiteral(R"({"ctg_id":"%1","category":"%2","pic_cnt":"%3",)"
                           R"("ctg_url":"http:\/\/photo.blog.sina.com.cn\/category\/u\/1234567890\/s\/%1",)"
                           R"("big_url":"","ctime":"1290000000"})")
                .arg(album.id)
                .arg(QString::fromUtf8(album.name))
                .arg(album.pictures));
        const QByteArray path = "/category/u/1234567890/s/" + QByteArray::number(album.id);
        QByteArray page = "<html><head><meta charset=\"utf-8\"><title>相册_新浪博客</title></head><body>"
                          "<div class=\"photoList\">\n";
        for (int n = 1; n <= album.pictures; ++n) {
            const QByteArray id = "c" + QByteArray::number(album.id) + "p" + QByteArray::number(n);
            page += "<div class=\"pt_border\"><a href=\"http://photo.blog.sina.com.cn/photo/" + id
                    + "\"><img src=\"http://s1.sinaimg.cn/small/" + id + "\" title=\"照片 " + QByteArray::number(n)
                    + "\" alt=\"\" /></a></div>\n";
            // Every third picture arrives at once; of the others half arrives, the rest a
            // few seconds later.
            const QByteArray picture = QByteArray("\xFF\xD8\xFF\xE0", 4) + QByteArray(120000, char(n));
            CannedResponse answer = CannedResponse::ok(picture, "image/jpeg");
            if (n % 3 != 1)
                answer.withStall(60000, 4000);
            blog.route("s1.sinaimg.cn", "/orignal/" + id, answer);
        }
        page += "</div>\n<div class=\"SG_page\"></div></body></html>\n";
        blog.route("photo.blog.sina.com.cn", path + "/page1", CannedResponse::ok(page));
    }
    const QString answer = QStringLiteral(R"({"code":"A00006","data":{"total":%1,"list":[%2]}})")
                               .arg(categories.size())
                               .arg(categories.join(u','));
    blog.route("photo.blog.sina.com.cn", "/services/ctg_list_ctg.php",
               CannedResponse::ok(answer.toUtf8(), "application/json"));
}

bool save(QWidget *widget, const QString &path)
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QApplication::processEvents();
    const bool saved = widget->grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "cannot write", qPrintable(path));
    return saved;
}

int fail(const char *what)
{
    std::fprintf(stderr, "pictrove_screenshots: %s\n", what);
    return 1;
}

}  // namespace

int main(int argc, char *argv[])
{
    if (argc != 2)
        return fail("usage: pictrove_screenshots OUTDIR");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    initNetwork();
    QApplication app(argc, argv);
    const QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + u'/';
    QDir().mkpath(out);

    // A first start of a new user in a folder of its own, the same every run so the
    // pictures show the same save path: nothing of the machine's own user shows or
    // changes.
    QDir home(QDir::tempPath() + QStringLiteral("/pictrove-screenshots"));
    home.removeRecursively();
    qputenv("HOME", home.path().toUtf8());
    qunsetenv("XDG_DATA_HOME");
    qunsetenv("XDG_CONFIG_HOME");
    const QString dataFolder = perUserDataFolder();
    QDir().mkpath(dataFolder);
    SinaServices blog;
    serveBlog(blog);
    LoopbackServer config;
    config.route("", "/config",
                 CannedResponse::ok(readFixture(QStringLiteral("sources/config-answer.txt")),
                                    "text/plain; charset=utf-8"));
    QGuiApplication::clipboard()->clear();

    RecordingShell shell;
    MainWindow window(shell);
    window.session().sleep = [](int) {};
    MainWindow::StartupOptions startup;
    startup.dataFolder = dataFolder;
    startup.configEndpoints = {config.baseUrl() + QStringLiteral("/config")};
    window.initialise(startup);
    listOwnerAtStart(window, QString::fromLatin1(kOwner));
    if (!waitUntil([&] {
            return window.grid().gridRowCount() > 1 && window.session().listState.load() == ListState::Idle
                   && controlText(window.control(kControlGetList)) == QStringLiteral("获取相册");
        }))
        return fail("the owner's albums were not listed");
    int ok = save(&window, out + QStringLiteral("main-window.png"));

    qobject_cast<QAbstractButton *>(window.control(kControlSelectAll))->click();
    qobject_cast<QAbstractButton *>(window.control(kControlDownload))->click();
    if (!waitUntil([&] { return controlText(window.control(kControlStatusDetail)).startsWith(u"已下载"); }))
        return fail("no picture of the download arrived");
    ok += save(&window, out + QStringLiteral("downloading.png"));
    window.downloader().requestAbort();
    if (!waitUntil([&] { return !window.downloader().isRunning(); }))
        return fail("the download did not stop");

    SettingsBlock settings = window.session().settings();
    const int sina = settingsIndex(SourceType::Sina);
    DownloadSettingsDialog downloadSettings(settings.downloadParams[sina], &window);
    downloadSettings.show();
    ok += save(&downloadSettings, out + QStringLiteral("download-settings.png"));
    downloadSettings.reject();
    FileNameRulesDialog nameRules(settings.nameRules[sina], &window);
    nameRules.show();
    ok += save(&nameRules, out + QStringLiteral("file-name-settings.png"));
    nameRules.reject();

    window.session().waitForThreads();
    home.removeRecursively();
    return ok == 4 ? 0 : 1;
}
