#pragma once
// Everything the main window owns for the whole run and its threads share: the
// settings, the album list and owner values of the last acquisition, the state bytes
// and the window port. One instance per front end; the desktop program's MainWindow
// and the CLI each hold one. Threads started here are tracked so that a front end
// (or a test) can wait for them to end before it destroys the state.

#include "download/DownloadJob.h"
#include "settings/SettingsBlock.h"
#include "sources/AlbumList.h"
#include "sources/AlbumRecord.h"

#include <QString>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

class WindowPort;

// ListState values
enum : uint8_t { LIST_IDLE = 0, LIST_RUNNING = 1, LIST_STOP = 2 };
// ListType values
enum : int { LIST_TYPE_STARTING = -1, LIST_BLOG_CATEGORIES = 0, LIST_BLOG_ARTICLES = 1, LIST_WEIBO_ALBUMS = 2 };

class MainWindowState {
public:
    explicit MainWindowState(WindowPort &port);
    ~MainWindowState();

    WindowPort &port() const { return m_port; }

    // Where "soft.dat", the extension settings, the cookie store, the page dump and the
    // thumbnail cache live; ends in "/".
    QString dataFolder;

    // The settings block is edited by the GUI thread and read by the worker threads:
    // readers take a copy, writers go through updateSettings.
    SettingsBlock settings() const;
    void updateSettings(const std::function<void(SettingsBlock &)> &change);
    ExtensionSettings extensionSettings() const;
    void setExtensionSettings(const ExtensionSettings &values);

    std::atomic<int> sourceTypeIndex{0};

    AlbumList albums;
    // Written by the list thread during an acquisition; read by the driver only after
    // it ended (Download stays disabled meanwhile).
    OwnerInfo owner;
    std::atomic<int> listType{LIST_TYPE_STARTING};

    std::atomic<uint8_t> readyFlag{0};
    std::atomic<uint8_t> listState{LIST_IDLE};
    std::atomic<uint8_t> downState{0};  // DOWN_* of download/DownloadJob.h
    // The download run's queue, folder and transfer flags.
    DownloadJob downloadJob;
    std::atomic<uint8_t> thumbnailMode{0};
    std::atomic<uint8_t> thumbnailState{0};

    // Pauses of the sources (retry waits); tests replace it so they do not sleep.
    std::function<void(int milliseconds)> sleep;

    // Runs `body` on a new detached thread; false when it could not be started.
    bool startThread(std::function<void()> body);
    // Blocks until every thread started through startThread has ended.
    void waitForThreads();

private:
    WindowPort &m_port;
    mutable std::mutex m_settingsMutex;
    SettingsBlock m_settings;
    ExtensionSettings m_extension;

    std::mutex m_threadsMutex;
    std::condition_variable m_threadsDone;
    int m_runningThreads = 0;
};
