#include "download/ResultMessages.h"

#include <QDir>

#include <algorithm>

namespace pictrove {

QString listResultMessage(ListResult result, const QString &detail)
{
    switch (result) {
    case ListResult::NoAddress:
        return QStringLiteral("请输入相册主人的网址");
    case ListResult::NotWebAddress:
        return QStringLiteral("请输入以http://或https://开头的网址");
    case ListResult::NothingFound:
        return QStringLiteral("没有获取到相册，请在登录菜单里登录新浪(微博)帐号后重试,登录时勾上下次自动登录");
    case ListResult::LoginNeeded:
        return QStringLiteral("该主人的相册需要登录后才能查看：请在<登录>菜单中登录微博后重试");
    case ListResult::LoginExpired:
        return QStringLiteral("微博登录已失效：请重新登录");
    case ListResult::RateLimited:
        return QStringLiteral("微博拒绝了过于频繁的请求：请过几分钟再试");
    case ListResult::ServiceChanged:
        return QStringLiteral("服务返回了无法识别的内容（网站可能已改版）")
               + (detail.isEmpty() ? QString() : QStringLiteral("：%1").arg(detail));
    case ListResult::Unreachable:
        return QStringLiteral("无法连接到服务：请检查网络后重试")
               + (detail.isEmpty() ? QString() : QStringLiteral("（%1）").arg(detail));
    case ListResult::OwnerNotFound:
        return QStringLiteral("找不到该相册主人：请检查网址");
    case ListResult::NotSupported:
        return QStringLiteral("该来源暂不支持：请输入新浪博客或新浪微博的网址");
    case ListResult::Listed:
    case ListResult::Stopped:
        break;
    }
    return QString();
}

QString rateLimitWaitMessage(int seconds)
{
    return QStringLiteral("微博要求放慢速度：%1 秒后重试").arg(seconds);
}

QString archiveUnusableMessage(const event::ArchiveUnusable &e)
{
    const QString file = QDir::toNativeSeparators(e.file);
    if (e.movedTo.isEmpty())
        return QStringLiteral("下载存档无法使用，本次不记录存档：%1（%2）").arg(file, e.detail);
    return QStringLiteral("下载存档已损坏，已移至 %1 并新建存档：%2（%3）")
        .arg(QDir::toNativeSeparators(e.movedTo), file, e.detail);
}

QString runSummary(const PictureCounts &run)
{
    QString summary = QStringLiteral("保存 %1 张").arg(run.saved);
    if (run.skipped > 0 || run.sizeSkipped == 0)
        summary += QStringLiteral("，跳过 %1 张").arg(run.skipped);
    if (run.sizeSkipped > 0)
        summary += QStringLiteral("，跳过 %1 张（大小限制）").arg(run.sizeSkipped);
    summary += QStringLiteral("，失败 %1 张").arg(run.failed);
    if (run.untried > 0)
        summary += QStringLiteral("，未下载 %1 张").arg(run.untried);
    if (run.incompleteAlbums > 0)
        summary += QStringLiteral("；%1 个相册不完整").arg(run.incompleteAlbums);
    if (run.unseenPosts > 0)
        summary += QStringLiteral("；%1 条微博无权查看").arg(run.unseenPosts);
    if (run.loginRefusal != ListResult::Listed)
        summary += QStringLiteral("；") + listResultMessage(run.loginRefusal, QString());
    return summary;
}

QString stoppedAlbumState(const PictureCounts &album)
{
    // An album the stop found listed but not yet transferring has no transfer total:
    // all it listed is untried.
    const int total = std::max(album.total, album.untried);
    if (total == 0)
        return QStringLiteral("已停止");
    QString state = QStringLiteral("已停止 %1/%2").arg(std::max(total - album.untried, 0)).arg(total);
    if (album.failed > 0)
        state += QStringLiteral("，失败 %1").arg(album.failed);
    return state;
}

QString updateSummary(const event::UpdateFinished &e)
{
    switch (e.result) {
    case UpdateResult::NotListed:
        return QString();
    case UpdateResult::NothingArchived:
        return QStringLiteral("下载存档中没有这 %1 个相册的图片：请先下载一次，以后再更新").arg(e.albums);
    case UpdateResult::NoArchive:
        return QStringLiteral("没有可用的下载存档，无法更新");
    case UpdateResult::Stopped:
        return QStringLiteral("更新已终止") + (e.download ? QStringLiteral("：") + runSummary(e.run) : QString());
    case UpdateResult::Updated:
        break;
    }
    return QStringLiteral("更新完毕：%1 个相册中 %2 个有存档，%3").arg(e.albums).arg(e.archivedAlbums).arg(runSummary(e.run));
}

}  // namespace pictrove
