#include "sources/Session.h"

#include <chrono>
#include <system_error>
#include <thread>

namespace pictrove {

Session::Session(QString dataFolder, ListEvents &listEvents)
    : sleep([](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); })
    , m_dataFolder(std::move(dataFolder))
    , m_listEvents(listEvents)
{
}

Session::~Session()
{
    waitForThreads();
}

QString Session::dataFolder() const
{
    return m_dataFolder;
}

void Session::setDataFolder(const QString &folder)
{
    m_dataFolder = folder;
}

SettingsBlock Session::settings() const
{
    std::lock_guard lock(m_settingsMutex);
    return m_settings;
}

void Session::updateSettings(const std::function<void(SettingsBlock &)> &change)
{
    std::lock_guard lock(m_settingsMutex);
    change(m_settings);
}

void Session::setSettings(const SettingsBlock &settings)
{
    std::lock_guard lock(m_settingsMutex);
    m_settings = settings;
}

ExtensionSettings Session::extensionSettings() const
{
    std::lock_guard lock(m_settingsMutex);
    return m_extension;
}

void Session::setExtensionSettings(const ExtensionSettings &values)
{
    std::lock_guard lock(m_settingsMutex);
    m_extension = values;
}

bool Session::startThread(std::function<void()> body)
{
    {
        std::lock_guard lock(m_threadsMutex);
        ++m_runningThreads;
    }
    try {
        std::thread([this, body = std::move(body)]() mutable {
            body();
            body = nullptr;  // whatever it captured goes before the waiter is released
            std::lock_guard lock(m_threadsMutex);
            if (--m_runningThreads == 0)
                m_threadsDone.notify_all();
        }).detach();
        return true;
    } catch (const std::system_error &) {
        std::lock_guard lock(m_threadsMutex);
        --m_runningThreads;
        return false;
    }
}

void Session::waitForThreads()
{
    std::unique_lock lock(m_threadsMutex);
    m_threadsDone.wait(lock, [this] { return m_runningThreads == 0; });
}

}  // namespace pictrove
