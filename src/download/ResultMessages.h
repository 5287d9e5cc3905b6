#pragma once
// What the engine's results mean to a user, in the program's own words, kept once for
// both front ends: the desktop program shows them in message boxes and on its status
// line, pictrove-cli prints them on stderr.

#include "download/DownloadEvents.h"
#include "sources/ListEvents.h"

#include <QString>

namespace pictrove {

// Why a list listed nothing, or why it never started; empty for Listed and Stopped.
// `detail` is what came back from a service that was unreachable or answered what
// cannot be read (ListFailureDetail), if known.
QString listResultMessage(ListResult result, const QString &detail);

// The service refused to be asked this fast; the listing asks again in `seconds`.
QString rateLimitWaitMessage(int seconds);

// What became of a download archive that could not be used.
QString archiveUnusableMessage(const event::ArchiveUnusable &e);

// "保存 N 张，跳过 N 张，失败 N 张" (with "跳过 N 张（大小限制）" for the pictures the
// size limits left out), the pictures a stop or a full disk left untried
// ("未下载 N 张"), the incomplete albums and the posts the viewer may not see ("N 条微博
// 无权查看"), when there are any; and the login the albums' listing met the service
// asking for ("微博登录已失效：请重新登录").
QString runSummary(const PictureCounts &run);

// The 状态 of an album a stop (or a full disk) cut short: "已停止 4/10", the pictures
// that ended of those it listed (the ones never tried make up the rest; "已停止" when
// it listed none), and
// "，失败 N" when some did not arrive.
QString stoppedAlbumState(const PictureCounts &album);

// How an update ended, in one line: "更新完毕：N 个相册中 M 个有存档" with the run's
// summary, or why nothing was downloaded; empty when the list already said why
// (NotListed).
QString updateSummary(const event::UpdateFinished &e);

}  // namespace pictrove
