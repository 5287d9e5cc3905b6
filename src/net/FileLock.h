#pragma once
// An exclusive advisory lock (flock) on a lock file, held for the object's lifetime.
// Processes sharing one data folder take it around read-modify-write of a file they
// all write, so one's update is not lost under another's.

#include <QString>

#include <chrono>

namespace pictrove {

class FileLock {
public:
    // Creates `path` when missing and waits for the lock at most `wait`. A lock that
    // cannot be had (another process stuck, a filesystem without locks) leaves the
    // object unlocked: the caller decides whether to go on without it.
    explicit FileLock(const QString &path,
                      std::chrono::milliseconds wait = std::chrono::seconds(5));
    ~FileLock();
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    bool locked() const { return m_locked; }

private:
    int m_fd = -1;
    bool m_locked = false;
};

}  // namespace pictrove
