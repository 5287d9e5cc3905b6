#include "download/PictureTransfer.h"

#include "download/Folders.h"
#include "net/PageFetcher.h"

#include <QDir>
#include <QFileInfo>

namespace pictrove {

namespace {

// Why an answer that arrived whole is not the picture.
QString refusalReason(BodyRefusal refusal)
{
    switch (refusal) {
    case BodyRefusal::Empty: return QStringLiteral("空文件");
    case BodyRefusal::LoginPage: return QStringLiteral("不是图片：登录页面");
    case BodyRefusal::WebPage: return QStringLiteral("不是图片：网页");
    case BodyRefusal::Json: return QStringLiteral("不是图片：JSON 应答");
    case BodyRefusal::None: break;
    }
    return QString();
}

// Why a transfer did not arrive, for the failure list: the status line of the last
// answer, or what was wrong with its body, or the lack of an answer.
QString failureReason(const PageResponse &response)
{
    if (response.cancelled)
        return QStringLiteral("已停止");
    const QString statusLine = response.statusLine();
    if (!statusLine.isEmpty() && !statusLine.contains(QLatin1String(" 200 ")))
        return statusLine;
    if (response.bodyRefusal != BodyRefusal::None)
        return refusalReason(response.bodyRefusal);
    return statusLine.isEmpty() ? QStringLiteral("no answer") : QStringLiteral("incomplete or outside the size limits");
}

// Why nothing can be saved at `path` in `folder`, before anything is fetched; empty when
// it can. A picture's name is one path component, so the first test is a last wall that
// never refuses a name the naming made; the others find what another program put there.
QString unusableTarget(const QString &folder, const QString &path)
{
    if (!isInsideFolder(folder, path) || QDir::cleanPath(path) == QDir::cleanPath(folder))
        return QStringLiteral("保存位置不在相册文件夹之内：%1").arg(path);
    const QFileInfo info(QDir::cleanPath(folder));  // "x/" is no file even where x is one
    const QString shown = QDir::toNativeSeparators(info.filePath());
    if (info.exists() && !info.isDir())
        return QStringLiteral("相册文件夹被同名文件占用：%1").arg(shown);
    if (!info.exists())
        return QStringLiteral("无法创建相册文件夹：%1").arg(shown);
    return QString();
}

}  // namespace

PictureOutcome transferPicture(const TransferJob &job, int index)
{
    PictureOutcome outcome;
    const QueuedPicture &queued = job.pictures.at(index);
    const QString path = job.folder + queued.fileName;
    outcome.reason = unusableTarget(job.folder, path);
    if (!outcome.reason.isEmpty())
        return outcome;
    try {
        PageRequest request{QString(), QString()};
        PageResponse response;

        request.url = queued.picture.address;
        const QString &fallback = queued.picture.fallbackAddress;

        request.readTimeoutMs = int32_t(job.settings.timeoutSeconds) * 1000;
        request.timeoutMs = 20000;
        request.headers = queued.picture.headers;
        request.minKB = job.settings.minKB;
        request.maxKB = job.settings.maxKB;
        request.savePath = path;
        request.attempts = 2;
        request.retryDelaySec = 1;
        request.mediaExpected = true;
        request.stopRequested = job.stopRequested;
        outcome.saved = fetch(request, response, kFetchInflateForChecks);

        // A picture the size limits leave out is the picture; its fallback would be too.
        if (!response.cancelled && !response.outsideSizeLimits && !fallback.isEmpty()) {
            const qint64 received = response.receivedLength;
            // Some hosts answer a missing picture with a small placeholder instead of
            // an error: for them a short body also calls for the fallback. A page in
            // place of the picture says this address does not give it either.
            const bool placeholder =
                fallback.indexOf(QLatin1String(".topitme.")) >= 1 && received < 600;
            if (received < 1 || placeholder || response.bodyRefusal != BodyRefusal::None) {
                request.url = fallback;
                outcome.saved = fetch(request, response, kFetchInflateForChecks);
            }
        }
        if (outcome.saved) {
            outcome.bytes = response.receivedLength;
        } else if (response.cancelled) {
            outcome.stopped = true;
            outcome.reason = failureReason(response);
        } else if (response.outsideSizeLimits) {
            outcome.outsideSizeLimits = true;
            outcome.reason = QStringLiteral("大小限制");
        } else if (response.noSpace) {
            outcome.noSpace = true;
            outcome.reason = QStringLiteral("磁盘空间不足");
        } else {
            outcome.reason = failureReason(response);
        }
    } catch (...) {
        // A picture that cannot be fetched just leaves no file.
        outcome.saved = false;
        outcome.reason = QStringLiteral("internal error");
    }
    return outcome;
}

}  // namespace pictrove
