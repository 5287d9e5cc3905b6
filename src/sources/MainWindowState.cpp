#include "sources/MainWindowState.h"

#include <thread>

MainWindowState::MainWindowState(WindowPort &port)
    : sleep([](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); })
    , m_port(port)
{
    downloadJob.statusWindow = &port;
}

MainWindowState::~MainWindowState()
{
    waitForThreads();
}

SettingsBlock MainWindowState::settings() const
{
    std::lock_guard lock(m_settingsMutex);
    return m_settings;
}

void MainWindowState::updateSettings(const std::function<void(SettingsBlock &)> &change)
{
    std::lock_guard lock(m_settingsMutex);
    change(m_settings);
}

ExtensionSettings MainWindowState::extensionSettings() const
{
    std::lock_guard lock(m_settingsMutex);
    return m_extension;
}

void MainWindowState::setExtensionSettings(const ExtensionSettings &values)
{
    std::lock_guard lock(m_settingsMutex);
    m_extension = values;
}

bool MainWindowState::startThread(std::function<void()> body)
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

void MainWindowState::waitForThreads()
{
    std::unique_lock lock(m_threadsMutex);
    m_threadsDone.wait(lock, [this] { return m_runningThreads == 0; });
}
