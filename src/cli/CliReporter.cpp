#include "cli/CliReporter.h"

#include "download/ResultMessages.h"

#include <QDir>

#include <unistd.h>

namespace pictrove {

QString failedListLine(const QString &address, const QString &reason)
{
    const auto field = [](QString text) {
        text.replace(QLatin1Char('\t'), QLatin1Char(' '));
        text.replace(QLatin1Char('\r'), QLatin1Char(' '));
        text.replace(QLatin1Char('\n'), QLatin1Char(' '));
        return text;
    };
    return field(address) + QLatin1Char('\t') + field(reason);
}

CliReporter::CliReporter(FILE *err)
    : m_err(err)
    , m_live(isatty(fileno(err)) != 0)
{
    m_clock.start();
}

void CliReporter::report(const ListEvent &event)
{
    std::lock_guard lock(m_mutex);
    std::visit([this](const auto &e) { on(e); }, event);
}

void CliReporter::report(const DownloadEvent &event)
{
    std::lock_guard lock(m_mutex);
    std::visit([this](const auto &e) { on(e); }, event);
}

void CliReporter::on(const event::ListStarted &)
{
    printLine(QStringLiteral("正在获取相册列表，请稍等..."));
}

void CliReporter::on(const event::AlbumLost &)
{
    printLine(QStringLiteral("内存分配失败"));
}

namespace {

// How the user gets the login the service asked for; empty for other results.
QString loginHint(ListResult result)
{
    if (result == ListResult::LoginNeeded)
        return QStringLiteral("（或用 --cookies FILE 交给本程序一份浏览器导出的 cookies.txt）");
    if (result == ListResult::LoginExpired)
        return QStringLiteral("（用 pictrove-cli login 重新登录）");
    return QString();
}

}  // namespace

void CliReporter::on(const event::ListFinished &e)
{
    m_listResult = e.result;
    const QString message = listResultMessage(e.result, m_listDetail);
    if (!message.isEmpty())
        printLine(message);
    const QString hint = loginHint(e.result);
    if (!hint.isEmpty())
        printLine(hint);
    // An address that was refused never started a list.
    if (e.result == ListResult::NoAddress || e.result == ListResult::NotWebAddress)
        return;
    printLine(QStringLiteral("获取相册列表完成，共%1个").arg(e.albumCount));
}

void CliReporter::on(const event::ListFailureDetail &e)
{
    m_listDetail = e.detail;
}

void CliReporter::on(const event::ListWaiting &e)
{
    printLine(rateLimitWaitMessage(e.seconds));
}

void CliReporter::on(const event::AlbumListingWaiting &e)
{
    printLine(rateLimitWaitMessage(e.seconds));
}

void CliReporter::on(const event::SaveFolderFailed &e)
{
    printLine(e.level);
}

void CliReporter::on(const event::AlbumStarted &e)
{
    m_albumNumber = e.number;
    m_albumCount = e.count;
    m_album.reset();
    if (m_live)
        drawProgress();
    else
        printLine(QStringLiteral("正在下载第%1/%2个图集").arg(e.number).arg(e.count));
}

void CliReporter::on(const event::PicturesListed &e)
{
    if (m_live)
        drawProgress();
    else
        printLine(QStringLiteral("已获取到%1张图片信息").arg(e.count));
}

void CliReporter::on(const event::TransferStarted &e)
{
    m_album = PictureCounts{};
    m_album->total = e.total;
    if (m_live)
        drawProgress();
    else
        printLine(QStringLiteral("已开始下载图片"));
}

void CliReporter::on(const event::PictureProgress &e)
{
    m_album = e.album;
    if (m_live)
        drawProgress();
    else
        printLine(QStringLiteral("已下载%1/%2......").arg(e.album.done).arg(e.album.total));
}

void CliReporter::on(const event::RunProgress &e)
{
    m_run = e.run;
    if (m_live)
        drawProgress();
}

void CliReporter::on(const event::PictureFailed &e)
{
    m_failed.append(failedListLine(e.address, e.reason));
}

void CliReporter::on(const event::AlbumIncomplete &e)
{
    printLine(QStringLiteral("相册不完整：%1（%2）").arg(e.name, e.reason));
}

void CliReporter::on(const event::DiskFull &e)
{
    printLine(QStringLiteral("磁盘空间不足：%1").arg(QDir::toNativeSeparators(e.folder)));
}

void CliReporter::on(const event::ArchiveUnusable &e)
{
    printLine(archiveUnusableMessage(e));
}

void CliReporter::on(const event::DownloadFinished &e)
{
    m_downloadResult = e.result;
    m_downloadCounts = e.run;
    switch (e.result) {
    case DownloadResult::NoSavePath:
        printLine(QStringLiteral("请先设置保存路径"));
        return;
    case DownloadResult::SaveFolderFailed:
        printLine(QStringLiteral("请检测设置的保存路径是否有误"));
        return;
    case DownloadResult::NoAlbumChosen:
        printLine(QStringLiteral("请先在列表中选择要下载的相册"));
        break;
    case DownloadResult::DiskFull:  // said by DiskFull just before
    case DownloadResult::Finished:
    case DownloadResult::Stopped:
        break;
    }
    if (e.result != DownloadResult::DiskFull)
        printLine(QStringLiteral("下载完毕"));
    printLine(runSummary(e.run));
    const QString hint = loginHint(e.run.loginRefusal);
    if (!hint.isEmpty())
        printLine(hint);
}

void CliReporter::on(const event::OpenFolder &e)
{
    m_folderToOpen = e.folder;
}

void CliReporter::on(const event::UpdateAlbumsChosen &e)
{
    printLine(QStringLiteral("更新 %1 个已存档的相册").arg(e.albums.size()));
}

void CliReporter::on(const event::UpdateFinished &e)
{
    m_update = e;
    // A download that ran said its summary already.
    if (!e.download) {
        const QString summary = updateSummary(e);
        if (!summary.isEmpty())
            printLine(summary);
    }
}

std::optional<event::UpdateFinished> CliReporter::updateFinished() const
{
    std::lock_guard lock(m_mutex);
    return m_update;
}

void CliReporter::startOwner()
{
    std::lock_guard lock(m_mutex);
    m_update.reset();
    m_listResult.reset();
    m_listDetail.clear();
    m_downloadResult.reset();
    m_downloadCounts = PictureCounts{};
    m_run = PictureCounts{};
    m_clock.restart();
}

std::optional<ListResult> CliReporter::listResult() const
{
    std::lock_guard lock(m_mutex);
    return m_listResult;
}

std::optional<DownloadResult> CliReporter::downloadResult() const
{
    std::lock_guard lock(m_mutex);
    return m_downloadResult;
}

PictureCounts CliReporter::downloadCounts() const
{
    std::lock_guard lock(m_mutex);
    return m_downloadCounts;
}

QStringList CliReporter::failedPictures() const
{
    std::lock_guard lock(m_mutex);
    return m_failed;
}

QString CliReporter::folderToOpen() const
{
    std::lock_guard lock(m_mutex);
    return m_folderToOpen;
}

void CliReporter::message(const QString &text)
{
    std::lock_guard lock(m_mutex);
    printLine(text);
}

void CliReporter::finishLine()
{
    std::lock_guard lock(m_mutex);
    if (m_lineOpen) {
        std::fputs("\n", m_err);
        m_lineOpen = false;
    }
    std::fflush(m_err);
}

void CliReporter::printLine(const QString &line)
{
    if (m_lineOpen) {
        std::fputs("\r\033[K", m_err);
        m_lineOpen = false;
    }
    std::fprintf(m_err, "%s\n", line.toUtf8().constData());
    std::fflush(m_err);
}

// One live line: the album being walked, a bar of its pictures done, the rate.
void CliReporter::drawProgress()
{
    QString line = QStringLiteral("相册 %1/%2 ").arg(m_albumNumber).arg(m_albumCount);
    if (m_album) {
        const int total = qMax(1, m_album->total);
        const int width = 24;
        const int filled = qMin(width, m_album->done * width / total);
        line += QStringLiteral("[%1%2] %3/%4")
                    .arg(QString(filled, QLatin1Char('#')), QString(width - filled, QLatin1Char('.')))
                    .arg(m_album->done)
                    .arg(m_album->total);
        if (m_album->failed > 0)
            line += QStringLiteral(" 失败 %1").arg(m_album->failed);
        // The whole run: albums transferring ahead of this one count too.
        const double seconds = qMax<qint64>(1, m_clock.elapsed()) / 1000.0;
        const double bytesPerSecond = double(m_run.bytes) / seconds;
        line += QStringLiteral("  共 %1 张 %2")
                    .arg(m_run.saved)
                    .arg(bytesPerSecond >= 1048576.0 ? QStringLiteral("%1 MB/s").arg(bytesPerSecond / 1048576.0, 0, 'f', 1)
                                                     : QStringLiteral("%1 KB/s").arg(bytesPerSecond / 1024.0, 0, 'f', 0));
    } else {
        line += QStringLiteral("......");
    }
    std::fprintf(m_err, "\r\033[K%s", line.toUtf8().constData());
    std::fflush(m_err);
    m_lineOpen = true;
}

}  // namespace pictrove
