// The desktop window port: calls from the engine's threads reach the widgets on the
// GUI thread, progress texts are coalesced, questions wait for their answer, and a
// closing window releases every waiting thread.

#include "UiTestSupport.h"

#include "sources/ControlIds.h"
#include "ui/ControlAccess.h"
#include "ui/DesktopWindowPort.h"
#include "ui/MainWindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QEvent>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace {

// Counts the queued calls the window receives.
class QueuedCallCounter : public QObject {
public:
    int calls = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::MetaCall)
            ++calls;
        return false;
    }
};

TEST(DesktopWindowPortTest, ProgressTextsAreCoalesced)
{
    RecordingShell shell;
    MainWindow window(shell);
    QueuedCallCounter counter;
    window.installEventFilter(&counter);

    // Fifteen workers report while the GUI thread is busy elsewhere (here: joining).
    std::vector<std::thread> workers;
    for (int worker = 0; worker < 15; ++worker) {
        workers.emplace_back([&window, worker] {
            for (int done = 1; done <= 1000; ++done)
                window.port().setText(worker == 0 ? IDC_STATUS : IDC_STATUS_DETAIL,
                                      QStringLiteral("已下载%1/1000......").arg(done));
        });
    }
    for (std::thread &worker : workers)
        worker.join();
    EXPECT_TRUE(controlText(window.control(IDC_STATUS)).isEmpty());  // nothing touched off the GUI thread

    QApplication::processEvents();
    EXPECT_EQ(counter.calls, 1);
    EXPECT_EQ(controlText(window.control(IDC_STATUS)), QStringLiteral("已下载1000/1000......"));
    EXPECT_EQ(controlText(window.control(IDC_STATUS_DETAIL)), QStringLiteral("已下载1000/1000......"));
}

TEST(DesktopWindowPortTest, WorkerCallsRunOnTheGuiThreadInOrder)
{
    RecordingShell shell;
    shell.answer = true;
    MainWindow window(shell);
    WindowPort &port = window.port();
    std::atomic<bool> finished = false;
    QString readBack;
    bool answer = false;
    int index = -2;
    std::thread worker([&] {
        port.setItems(IDC_SOURCE_TYPE, {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        port.setCurrentIndex(IDC_SOURCE_TYPE, 2);
        port.setText(IDC_STATUS, QStringLiteral("正在获取相册列表，请稍等..."));
        port.setEnabled(IDC_DOWNLOAD, false);
        // A read after a write from the same thread sees the write.
        readBack = port.text(IDC_STATUS);
        index = port.currentIndex(IDC_SOURCE_TYPE);
        answer = port.askYesNo(QStringLiteral("继续?"));
        port.showMessage(QStringLiteral("完成"), QStringLiteral("提示"));
        finished = true;
    });
    const bool done = waitUntil([&] { return finished.load(); });
    worker.join();
    ASSERT_TRUE(done);
    EXPECT_EQ(readBack, QStringLiteral("正在获取相册列表，请稍等..."));
    EXPECT_EQ(index, 2);
    EXPECT_TRUE(answer);
    EXPECT_EQ(shell.questions(), QStringList{QStringLiteral("继续?")});
    EXPECT_EQ(shell.messages(), QStringList{QStringLiteral("提示: 完成")});
    EXPECT_FALSE(window.control(IDC_DOWNLOAD)->isEnabled());
    EXPECT_EQ(qobject_cast<QComboBox *>(window.control(IDC_SOURCE_TYPE))->currentText(), QStringLiteral("c"));
}

TEST(DesktopWindowPortTest, ShutdownReleasesWaitingThreads)
{
    RecordingShell shell;
    shell.answer = true;
    auto window = std::make_unique<MainWindow>(shell);
    DesktopWindowPort &port = window->port();
    std::atomic<int> released = 0;
    std::vector<std::thread> askers;
    for (int i = 0; i < 3; ++i) {
        askers.emplace_back([&port, &released] {
            // The GUI thread never serves these: the window closes instead.
            if (!port.askYesNo(QStringLiteral("继续?")) && port.text(IDC_STATUS).isEmpty())
                ++released;
        });
    }
    port.shutdown();
    for (std::thread &asker : askers)
        asker.join();
    EXPECT_EQ(released.load(), 3);
    window.reset();  // the queued questions die with the window
    QApplication::processEvents();
    EXPECT_TRUE(shell.questions().isEmpty());
}

}  // namespace
