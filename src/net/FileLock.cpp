#include "net/FileLock.h"

#include <QFile>

#include <cerrno>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace pictrove {

FileLock::FileLock(const QString &path, std::chrono::milliseconds wait)
{
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0)
        return;
    // Polled rather than blocking, so a holder that never lets go costs a bounded wait.
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0) {
            m_locked = true;
            return;
        }
        if (errno != EWOULDBLOCK && errno != EINTR)
            return;
        if (std::chrono::steady_clock::now() >= deadline)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

FileLock::~FileLock()
{
    if (m_fd >= 0)
        ::close(m_fd);  // releases the lock
}

}  // namespace pictrove
