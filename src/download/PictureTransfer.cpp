#include "download/PictureTransfer.h"

#include "net/PageFetcher.h"

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

}  // namespace

PictureOutcome transferPicture(const TransferJob &job, int index)
{
    PictureOutcome outcome;
    try {
        PageRequest request{QString(), QString()};
        PageResponse response;

        const QString entry = job.addresses.value(index);
        const qsizetype crlf = entry.indexOf(QLatin1String("\r\n"));
        request.url = crlf >= 0 ? entry.left(crlf) : entry;
        const QString fallback = crlf >= 0 ? entry.mid(crlf + 2) : QString();

        request.readTimeoutMs = int32_t(job.settings.timeoutSeconds) * 1000;
        request.timeoutMs = 20000;
        if (!job.extraHeaders.isEmpty())
            request.headers = job.extraHeaders.value(index);
        request.minKB = job.settings.minKB;
        request.maxKB = job.settings.maxKB;
        request.savePath = job.folder + job.fileNames.value(index);
        request.attempts = 2;
        request.retryDelaySec = 1;
        request.mediaExpected = true;
        request.stopRequested = job.stopRequested;
        outcome.saved = fetch(request, response, FETCH_INFLATE_FOR_CHECKS);

        if (!response.cancelled && !fallback.isEmpty()) {
            const qint64 received = response.receivedLength;
            // Some hosts answer a missing picture with a small placeholder instead of
            // an error: for them a short body also calls for the fallback. A page in
            // place of the picture says this address does not give it either.
            const bool placeholder =
                fallback.indexOf(QLatin1String(".topitme.")) >= 1 && received < 600;
            if (received < 1 || placeholder || response.bodyRefusal != BodyRefusal::None) {
                request.url = fallback;
                outcome.saved = fetch(request, response, FETCH_INFLATE_FOR_CHECKS);
            }
        }
        if (outcome.saved) {
            outcome.bytes = response.receivedLength;
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
