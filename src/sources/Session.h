#pragma once
// What the engine keeps between runs and its threads share: the data folder, the
// settings, the albums and owner of the last list, the list's state, and the threads
// it started. One per front end. The list thread writes the albums and the owner;
// a download reads them only while no list runs (front ends never start both at once,
// and the download takes its own copy of what it needs when it starts).

#include "settings/ExtensionSettings.h"
#include "settings/SettingsBlock.h"
#include "settings/SourceType.h"
#include "sources/AlbumList.h"
#include "sources/AlbumRecord.h"
#include "sources/ListEvents.h"
#include "sources/RequestSpacing.h"
#include "sources/Sources.h"

#include <QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

namespace pictrove {

enum class ListState : int {
    Idle,
    Running,
    StopRequested,  // the list ends after the album it is reading
};

class Session {
public:
    Session(QString dataFolder, ListEvents &listEvents);
    ~Session();

    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    // Where "soft.dat", the extension settings, the cookie store, the page dump and
    // the thumbnail cache live; ends in "/".
    QString dataFolder() const;
    // Only before the first run: the threads read it without a lock.
    void setDataFolder(const QString &folder);
    ListEvents &listEvents() const { return m_listEvents; }

    // Edited on the front end's thread, read by the engine's threads: readers take a
    // copy, writers go through updateSettings.
    SettingsBlock settings() const;
    void updateSettings(const std::function<void(SettingsBlock &)> &change);
    void setSettings(const SettingsBlock &settings);
    // The hand-edited per-service values; each list and download reads them afresh.
    ExtensionSettings extensionSettings() const;
    void setExtensionSettings(const ExtensionSettings &values);

    // The source type whose settings downloads use: the type of the last list.
    std::atomic<SourceType> sourceType{SourceType::Sina};

    AlbumList albums;
    // Written by the list thread; read by downloads only after the list ended.
    OwnerInfo owner;
    // The source that claimed the last list's address; null before a list, or when no
    // source claimed it. Written by the list thread.
    std::atomic<const Source *> listedBy{nullptr};
    std::atomic<ListState> listState{ListState::Idle};

    // The sources an owner address is offered to, in order. Set before the first list
    // (tests add sources of their own); the threads read it without a lock.
    QList<const Source *> sources = builtInSources();

    bool listStopRequested() const { return listState.load() == ListState::StopRequested; }

    // Pauses of the sources (retry waits) and of single-worker transfers; tests replace
    // it so they do not sleep.
    std::function<void(int milliseconds)> sleep;

    // The pace of the requests to the owner's service, shared by the album list and
    // the download's listings (Weibo pages only, today).
    const std::shared_ptr<RequestSpacing> requestSpacing = std::make_shared<RequestSpacing>();

    // Runs `body` on a new detached thread; false when it could not be started.
    bool startThread(std::function<void()> body);
    // Blocks until every thread started through startThread has ended.
    void waitForThreads();

private:
    QString m_dataFolder;
    ListEvents &m_listEvents;

    mutable std::mutex m_settingsMutex;
    SettingsBlock m_settings;
    ExtensionSettings m_extension;

    std::mutex m_threadsMutex;
    std::condition_variable m_threadsDone;
    int m_runningThreads = 0;
};

}  // namespace pictrove
