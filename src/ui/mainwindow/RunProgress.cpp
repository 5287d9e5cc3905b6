#include "ui/mainwindow/RunProgress.h"

#include <algorithm>

namespace pictrove {

namespace {

// The pace of the last this many milliseconds gives the time left: long enough to
// even out pictures of different sizes, short enough to follow a change of pace.
constexpr qint64 kPaceWindowMs = 20000;

}  // namespace

void RunProgress::start(qint64 nowMs)
{
    *this = RunProgress();
    m_startMs = m_nowMs = nowMs;
    m_samples.push_back({nowMs, 0});
}

void RunProgress::albumStarted(int number, int count)
{
    if (m_album > 0) {
        m_endedPictures += m_albumTotal;
        m_albumsWithPictures += m_albumTotal > 0 ? 1 : 0;
    }
    m_album = number;
    m_albums = count;
    m_albumFraction = 0;
    m_albumTotal = 0;
    m_albumDone = 0;
}

void RunProgress::update(const PictureCounts &album, qint64 nowMs)
{
    m_nowMs = nowMs;
    m_albumFraction = album.total > 0 ? std::clamp(double(album.done) / album.total, 0.0, 1.0) : 0.0;
    m_albumTotal = std::max(album.total, 0);
    m_albumDone = std::clamp(album.done, 0, m_albumTotal);
    sample(nowMs);
}

void RunProgress::updateRun(const PictureCounts &run, qint64 nowMs)
{
    m_nowMs = nowMs;
    m_runBytes = run.bytes;
}

void RunProgress::sample(qint64 nowMs)
{
    m_samples.push_back({nowMs, m_endedPictures + m_albumDone});
    // Keep one sample at or before the window's start, so the pace spans the window.
    while (m_samples.size() > 2 && m_samples[1].ms <= nowMs - kPaceWindowMs)
        m_samples.pop_front();
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

double RunProgress::picturesLeft() const
{
    const int albumsWithPictures = m_albumsWithPictures + (m_albumTotal > 0 ? 1 : 0);
    const int picturesSeen = m_endedPictures + m_albumTotal;
    const double perAlbum = albumsWithPictures > 0 ? double(picturesSeen) / albumsWithPictures : 0.0;
    return double(m_albumTotal - m_albumDone) + std::max(m_albums - m_album, 0) * perAlbum;
}

int RunProgress::secondsLeft() const
{
    if (m_samples.size() < 2)
        return -1;
    const Sample &from = m_samples.front();
    const Sample &to = m_samples.back();
    const qint64 spanMs = to.ms - from.ms;
    const int pictures = to.pictures - from.pictures;
    // Too early to tell: a guess from the first picture would jump about.
    if (spanMs < 1000 || pictures <= 0)
        return -1;
    const double perSecond = pictures * 1000.0 / double(spanMs);
    return int(picturesLeft() / perSecond + 0.5);
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
