// The desktop's engine events: events from the engine's threads reach the window's
// events on the GUI thread, in order; progress is coalesced; a message box holds back
// what follows it; a closing window drops late events and never waits for a thread.

#include "UiTestSupport.h"

#include "support/PrintQt.h"
#include "ui/mainwindow/DesktopEngineEvents.h"
#include "ui/mainwindow/MainWindow.h"
#include "sources/Session.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QThread>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace pictrove {

namespace {

// The window's side, recording each event it is given and whether that happened on
// the GUI thread.
class GuiSideEvents : public EngineEvents {
public:
    void listStarted() override { note(QStringLiteral("listStarted")); }
    void albumAdded(int index, const AlbumRecord &album) override
    {
        note(QStringLiteral("albumAdded %1 %2").arg(index).arg(album.name));
    }
    void albumLost() override
    {
        note(QStringLiteral("albumLost"));
        if (duringAlbumLost)
            duringAlbumLost();
    }
    void ownerAddressRemembered(const QString &address) override { note(QStringLiteral("remembered ") + address); }
    void listFinished(ListResult, int count) override { note(QStringLiteral("listFinished %1").arg(count)); }
    void downloadStarted() override { note(QStringLiteral("downloadStarted")); }
    void saveFolderFailed(const QString &level) override { note(QStringLiteral("saveFolderFailed ") + level); }
    void albumStarted(int number, int count, const QString &) override
    {
        note(QStringLiteral("albumStarted %1/%2").arg(number).arg(count));
    }
    void picturesListed(int count) override { note(QStringLiteral("picturesListed %1").arg(count)); }
    void transferStarted(int total) override { note(QStringLiteral("transferStarted %1").arg(total)); }
    void pictureProgress(const PictureCounts &album) override
    {
        note(QStringLiteral("progress %1/%2").arg(album.done).arg(album.total));
    }
    void pictureFailed(const QString &address, const QString &) override { note(QStringLiteral("failed ") + address); }
    void albumFinished(int number, int, const QString &, const PictureCounts &) override { note(QStringLiteral("albumFinished %1").arg(number)); }
    void downloadFinished(DownloadResult, const PictureCounts &run) override
    {
        note(QStringLiteral("downloadFinished %1").arg(run.saved));
    }
    void openFolder(const QString &folder) override { note(QStringLiteral("openFolder ") + folder); }

    QStringList log() const
    {
        std::lock_guard lock(m_mutex);
        return m_log;
    }
    int offGuiThread() const { return m_offGuiThread.load(); }

    std::function<void()> duringAlbumLost;

private:
    void note(const QString &line)
    {
        if (QThread::currentThread() != qApp->thread())
            ++m_offGuiThread;
        std::lock_guard lock(m_mutex);
        m_log.append(line);
    }

    mutable std::mutex m_mutex;
    QStringList m_log;
    std::atomic<int> m_offGuiThread{0};
};

// Counts the queued calls the application delivers.
class QueuedCallCounter : public QObject {
public:
    QueuedCallCounter() { qApp->installEventFilter(this); }
    ~QueuedCallCounter() override { qApp->removeEventFilter(this); }
    int calls = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::MetaCall)
            ++calls;
        return false;
    }
};

PictureCounts progress(int done, int total)
{
    PictureCounts counts;
    counts.done = done;
    counts.total = total;
    return counts;
}

void onWorker(const std::function<void()> &body)
{
    std::thread worker(body);
    worker.join();
}

TEST(DesktopEngineEventsTest, ProgressIsCoalesced)
{
    QApplication::processEvents();
    GuiSideEvents window;
    DesktopEngineEvents events(window);
    QueuedCallCounter counter;

    // Fifteen workers report while the GUI thread is busy elsewhere (here: joining).
    std::vector<std::thread> workers;
    for (int worker = 0; worker < 15; ++worker) {
        workers.emplace_back([&events] {
            for (int done = 1; done <= 1000; ++done)
                events.pictureProgress(progress(done, 1000));
        });
    }
    for (std::thread &worker : workers)
        worker.join();
    EXPECT_TRUE(window.log().isEmpty());  // nothing applied off the GUI thread

    QApplication::processEvents();
    EXPECT_EQ(counter.calls, 1);
    EXPECT_EQ(window.log(), QStringList{QStringLiteral("progress 1000/1000")});
}

TEST(DesktopEngineEventsTest, TheLatestProgressTakesItsOwnPlace)
{
    GuiSideEvents window;
    DesktopEngineEvents events(window);
    onWorker([&events] {
        events.transferStarted(4);
        events.pictureProgress(progress(4, 4));
        events.albumFinished(1, 2, QStringLiteral("/a/"), {});
        events.albumStarted(2, 2, QStringLiteral("b"));
        events.pictureProgress(progress(1, 3));
        events.pictureFailed(QStringLiteral("http://x/1.jpg"), QStringLiteral("404"));
        events.pictureProgress(progress(2, 3));
    });
    ASSERT_TRUE(waitUntil([&] { return window.log().size() == 5; }));
    // The album's last progress is never shown before the next album's start, which
    // would hide it.
    EXPECT_EQ(window.log(), (QStringList{QStringLiteral("transferStarted 4"), QStringLiteral("albumFinished 1"),
                                         QStringLiteral("albumStarted 2/2"), QStringLiteral("failed http://x/1.jpg"),
                                         QStringLiteral("progress 2/3")}));
}

TEST(DesktopEngineEventsTest, WorkerEventsAreAppliedOnTheGuiThreadInOrder)
{
    GuiSideEvents window;
    DesktopEngineEvents events(window);
    AlbumRecord album;
    album.name = QStringLiteral("旅行");
    onWorker([&] {
        events.listStarted();
        events.albumAdded(0, album);  // no album view: an event like the others
        events.albumLost();
        events.ownerAddressRemembered(QStringLiteral("http://blog.sina.com.cn/u/1"));
        events.listFinished(ListResult::Listed, 1);
        events.downloadStarted();
        events.saveFolderFailed(QStringLiteral("/save/x"));
        events.albumStarted(1, 1, album.name);
        events.picturesListed(3);
        events.transferStarted(3);
        events.pictureProgress(progress(3, 3));
        events.albumFinished(1, 1, QStringLiteral("/save/旅行/"), {});
        PictureCounts run;
        run.saved = 3;
        events.downloadFinished(DownloadResult::Finished, run);
        events.openFolder(QStringLiteral("/save/旅行/"));
    });
    const QStringList expected = {
        QStringLiteral("listStarted"),         QStringLiteral("albumAdded 0 旅行"),
        QStringLiteral("albumLost"),           QStringLiteral("remembered http://blog.sina.com.cn/u/1"),
        QStringLiteral("listFinished 1"),      QStringLiteral("downloadStarted"),
        QStringLiteral("saveFolderFailed /save/x"), QStringLiteral("albumStarted 1/1"),
        QStringLiteral("picturesListed 3"),    QStringLiteral("transferStarted 3"),
        QStringLiteral("progress 3/3"),        QStringLiteral("albumFinished 1"),
        QStringLiteral("downloadFinished 3"),  QStringLiteral("openFolder /save/旅行/"),
    };
    ASSERT_TRUE(waitUntil([&] { return window.log().size() == expected.size(); }));
    EXPECT_EQ(window.log(), expected);
    EXPECT_EQ(window.offGuiThread(), 0);

    // On the GUI thread an event applies at once, after those still waiting.
    onWorker([&events] { events.picturesListed(1); });
    events.picturesListed(2);
    EXPECT_EQ(window.log().mid(expected.size()),
              (QStringList{QStringLiteral("picturesListed 1"), QStringLiteral("picturesListed 2")}));
}

// A message box spins the event loop; what the engine reported after the message must
// wait until the box has closed.
TEST(DesktopEngineEventsTest, AMessageBoxHoldsBackWhatFollows)
{
    GuiSideEvents window;
    DesktopEngineEvents events(window);
    QStringList seenInsideTheBox;
    window.duringAlbumLost = [&] {
        onWorker([&events] { events.listFinished(ListResult::NothingFound, 0); });
        for (int turn = 0; turn < 5; ++turn)
            QApplication::processEvents();
        seenInsideTheBox = window.log();
    };
    onWorker([&events] {
        events.albumLost();
        events.listStarted();
    });
    ASSERT_TRUE(waitUntil([&] { return window.log().size() == 3; }));
    EXPECT_EQ(seenInsideTheBox, QStringList{QStringLiteral("albumLost")});
    EXPECT_EQ(window.log(), (QStringList{QStringLiteral("albumLost"), QStringLiteral("listStarted"),
                                         QStringLiteral("listFinished 0")}));
}

TEST(DesktopEngineEventsTest, ShutdownDropsLateEventsWithoutWaiting)
{
    GuiSideEvents window;
    auto events = std::make_unique<DesktopEngineEvents>(window);
    onWorker([&events] { events->listStarted(); });  // waiting, never applied
    events->shutdown();
    EXPECT_TRUE(events->isShutDown());

    std::vector<std::thread> workers;
    for (int worker = 0; worker < 4; ++worker) {
        workers.emplace_back([&events] {
            for (int i = 0; i < 500; ++i) {
                events->albumLost();
                events->pictureProgress(progress(i, 500));
            }
        });
    }
    for (std::thread &worker : workers)
        worker.join();
    events->listFinished(ListResult::Listed, 0);  // the GUI thread's own too
    events.reset();  // what was posted dies with it
    QApplication::processEvents();
    EXPECT_TRUE(window.log().isEmpty());
}

// Closing the window while a thread still reports: the window's destructor waits for
// the thread, which never waits for the window; nothing reaches the closed window.
TEST(DesktopEngineEventsTest, ClosingTheWindowNeverDeadlocks)
{
    RecordingShell shell;
    auto window = std::make_unique<MainWindow>(shell);
    std::atomic<bool> reporting = false;
    ASSERT_TRUE(window->session().startThread([&reporting, events = &window->events()] {
        reporting = true;
        for (int i = 0; i < 2000; ++i) {
            events->albumLost();
            events->pictureProgress(progress(i, 2000));
            events->downloadFinished(DownloadResult::NoAlbumChosen, {});
        }
    }));
    while (!reporting.load())
        QThread::yieldCurrentThread();
    window.reset();
    QApplication::processEvents();
    EXPECT_TRUE(shell.messages().isEmpty());
}

}  // namespace

}  // namespace pictrove
