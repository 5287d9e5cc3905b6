#pragma once
// A full disk without root or a small file system: while this lives, the process
// cannot write a file past `bytes` (writes fail with EFBIG, SIGXFSZ is ignored). The
// limit and the signal handler are restored when it goes. Process-wide: use it while
// no other thread of the test writes files it needs.

#include <sys/resource.h>

#include <csignal>

namespace pictrove {

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    // False when the limit could not be set; the test should then fail.
    bool active() const { return m_active; }

private:
    struct rlimit m_original {};
    void (*m_oldHandler)(int) = SIG_DFL;
    bool m_active = false;
};

}  // namespace pictrove
