#include "ui/mainwindow/RunProgress.h"

#include <algorithm>

namespace pictrove {

void RunProgress::start(qint64 nowMs)
{
    *this = RunProgress();
    m_startMs = m_nowMs = nowMs;
}

void RunProgress::albumStarted(int number, int count)
{
    m_album = number;
    m_albums = count;
    m_albumFraction = 0;
}

void RunProgress::update(const PictureCounts &album, qint64 nowMs)
{
    m_nowMs = nowMs;
    m_albumFraction = album.total > 0 ? std::clamp(double(album.done) / album.total, 0.0, 1.0) : 0.0;
}

void RunProgress::updateRun(const PictureCounts &run, qint64 nowMs)
{
    m_nowMs = nowMs;
    m_runBytes = run.bytes;
}

double RunProgress::fraction() const
{
    if (m_albums <= 0 || m_album <= 0)
        return 0;
    return std::clamp((m_album - 1 + m_albumFraction) / m_albums, 0.0, 1.0);
}

double RunProgress::bytesPerSecond() const
{
    const qint64 elapsedMs = m_nowMs - m_startMs;
    if (elapsedMs <= 0)
        return 0;
    return double(m_runBytes) * 1000.0 / double(elapsedMs);
}

int RunProgress::secondsLeft() const
{
    const double done = fraction();
    const qint64 elapsedMs = m_nowMs - m_startMs;
    // Too early to tell: a guess from the first percent would jump about.
    if (done < 0.02 || elapsedMs < 1000)
        return -1;
    return int(double(elapsedMs) * (1.0 - done) / done / 1000.0 + 0.5);
}

QString RunProgress::speedAndTimeLeft() const
{
    QStringList parts;
    const double speed = bytesPerSecond();
    if (speed > 0) {
        parts.append(speed >= 1024.0 * 1024.0 ? QStringLiteral("%1 MB/s").arg(speed / 1048576.0, 0, 'f', 1)
                                              : QStringLiteral("%1 KB/s").arg(speed / 1024.0, 0, 'f', 0));
    }
    const int left = secondsLeft();
    if (left >= 0) {
        parts.append(QStringLiteral("剩余 %1:%2").arg(left / 60).arg(left % 60, 2, 10, QLatin1Char('0')));
    }
    return parts.join(QStringLiteral("，"));
}

}  // namespace pictrove
