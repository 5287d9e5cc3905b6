#include "support/FileSizeLimit.h"

namespace pictrove {

FileSizeLimit::FileSizeLimit(rlim_t bytes)
{
    if (getrlimit(RLIMIT_FSIZE, &m_original) != 0)
        return;
    m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = m_original;
    small.rlim_cur = bytes;
    m_active = setrlimit(RLIMIT_FSIZE, &small) == 0;
}

FileSizeLimit::~FileSizeLimit()
{
    if (m_active)
        setrlimit(RLIMIT_FSIZE, &m_original);
    std::signal(SIGXFSZ, m_oldHandler);
}

}  // namespace pictrove
