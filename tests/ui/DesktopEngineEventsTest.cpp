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
    void report(const ListEvent &event) override
    {
        std::visit([this](const auto &e) { on(e); }, event);
    }
    void report(const DownloadEvent &event) override
    {
        std::visit([this](const auto &e) { on(e); }, event);
    }

    void on(const event::ListStarted &) { note(QStringLiteral("listStarted")); }
    void on(const event::AlbumAdded &e) { note(QStringLiteral("albumAdded %1 %2").arg(e.index).arg(e.album.name)); }
    void on(const event::AlbumLost &)
    {
        note(QStringLiteral("albumLost"));
        if (duringAlbumLost)
            duringAlbumLost();
    }
    void on(const event::OwnerAddressRemembered &e) { note(QStringLiteral("remembered ") + e.address); }
    void on(const event::ListFinished &e) { note(QStringLiteral("listFinished %1").arg(e.albumCount)); }
    void on(const event::DownloadStarted &) { note(QStringLiteral("downloadStarted")); }
    void on(const event::SaveFolderFailed &e) { note(QStringLiteral("saveFolderFailed ") + e.level); }
    void on(const event::AlbumStarted &e) { note(QStringLiteral("albumStarted %1/%2").arg(e.number).arg(e.count)); }
    void on(const event::PicturesListed &e) { note(QStringLiteral("picturesListed %1").arg(e.count)); }
    void on(const event::TransferStarted &e) { note(QStringLiteral("transferStarted %1").arg(e.total)); }
    void on(const event::PictureProgress &e)
    {
        note(QStringLiteral("progress %1/%2").arg(e.album.done).arg(e.album.total));
    }
    void on(const event::PictureFailed &e) { note(QStringLiteral("failed ") + e.address); }
    void on(const event::AlbumFinished &e) { note(QStringLiteral("albumFinished %1").arg(e.number)); }
    void on(const event::DownloadFinished &e) { note(QStringLiteral("downloadFinished %1").arg(e.run.saved)); }
    void on(const event::OpenFolder &e) { note(QStringLiteral("openFolder ") + e.folder); }
    template <class Event>
    void on(const Event &)
    {
    }

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
                events.report(event::PictureProgress{progress(done, 1000)});
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
        events.report(event::TransferStarted{4});
        events.report(event::PictureProgress{progress(4, 4)});
        events.report(event::AlbumFinished{1, 2, QStringLiteral("/a/"), {}});
        events.report(event::AlbumStarted{2, 2, QStringLiteral("b")});
        events.report(event::PictureProgress{progress(1, 3)});
        events.report(event::PictureFailed{QStringLiteral("http://x/1.jpg"), QStringLiteral("404")});
        events.report(event::PictureProgress{progress(2, 3)});
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
        events.report(event::ListStarted{});
        events.report(event::AlbumAdded{0, album});  // no album view: an event like the others
        events.report(event::AlbumLost{});
        events.report(event::OwnerAddressRemembered{QStringLiteral("http://blog.sina.com.cn/u/1")});
        events.report(event::ListFinished{ListResult::Listed, 1});
        events.report(event::DownloadStarted{});
        events.report(event::SaveFolderFailed{QStringLiteral("/save/x")});
        events.report(event::AlbumStarted{1, 1, album.name});
        events.report(event::PicturesListed{3});
        events.report(event::TransferStarted{3});
        events.report(event::PictureProgress{progress(3, 3)});
        events.report(event::AlbumFinished{1, 1, QStringLiteral("/save/旅行/"), {}});
        PictureCounts run;
        run.saved = 3;
        events.report(event::DownloadFinished{DownloadResult::Finished, run});
        events.report(event::OpenFolder{QStringLiteral("/save/旅行/")});
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
    onWorker([&events] { events.report(event::PicturesListed{1}); });
    events.report(event::PicturesListed{2});
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
        onWorker([&events] { events.report(event::ListFinished{ListResult::NothingFound, 0}); });
        for (int turn = 0; turn < 5; ++turn)
            QApplication::processEvents();
        seenInsideTheBox = window.log();
    };
    onWorker([&events] {
        events.report(event::AlbumLost{});
        events.report(event::ListStarted{});
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
    onWorker([&events] { events->report(event::ListStarted{}); });  // waiting, never applied
    events->shutdown();
    EXPECT_TRUE(events->isShutDown());

    std::vector<std::thread> workers;
    for (int worker = 0; worker < 4; ++worker) {
        workers.emplace_back([&events] {
            for (int i = 0; i < 500; ++i) {
                events->report(event::AlbumLost{});
                events->report(event::PictureProgress{progress(i, 500)});
            }
        });
    }
    for (std::thread &worker : workers)
        worker.join();
    events->report(event::ListFinished{ListResult::Listed, 0});  // the GUI thread's own too
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
            events->report(event::AlbumLost{});
            events->report(event::PictureProgress{progress(i, 2000)});
            events->report(event::DownloadFinished{DownloadResult::NoAlbumChosen, {}});
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
