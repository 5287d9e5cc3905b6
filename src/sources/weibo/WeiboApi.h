#pragma once
// Talking to Weibo's JSON services (photo.weibo.com and the weibo.com web API) the way
// they behave today: every answer read as JSON and told apart from a login page, a
// refusal for asking too fast, or a shape we do not know; pages of one listing paced;
// refusals for speed waited out with growing pauses, within a budget the session's
// requests share (RequestSpacing), after which the pace stays slower.

#include "net/PageFetcher.h"
#include "sources/RequestSpacing.h"

#include <QJsonObject>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>

namespace pictrove {

enum class WeiboRefusal {
    None,         // a good answer
    LoginNeeded,  // a login page, "ok":-100, "result":false
    RateLimited,  // 418, 432, 429, or a "频繁" message
    Unexpected,   // HTML or JSON that is neither of the above: the service changed
    Unreachable,  // no answer, or 5xx, after the tries
    NotFound,     // no such owner or post ("用户不存在", error_code 20101)
    NotPermitted, // the viewer may not see it: a deleted or friends-only post ("暂无查看权限", error_code 20112)
    TooLarge,     // larger than any answer is (kMaxPageBytes): only its beginning came
};

struct WeiboAnswer {
    WeiboRefusal refusal = WeiboRefusal::Unreachable;
    QJsonObject json;  // the whole answer, when it was a JSON object
    QString detail;    // why it was refused: a status line, a message ("msg" or "message"), the first bytes
    QString text;      // the answer as received, for the page dump
};

// Reads one answer of either service: its HTTP status and its text.
WeiboAnswer readWeiboAnswer(int status, const QString &text);

// The headers the web API expects, as the weibo.com pages send them: JSON accepted,
// an XMLHttpRequest from the owner's page, and the XSRF token of the login when there
// is one. The owner's page is weibo.com/u/UID; before the id is known (a lookup by
// name or personal address), `ownerAddress`, the address the user gave.
QString weiboApiHeaders(const QString &ownerUid, const QString &ownerAddress = QString());

// The pauses between pages and after refusals, and what the user hears of the waits.
struct WeiboPacing {
    std::function<void(int milliseconds)> sleep;
    int pageIntervalMs = 0;  // at least this between two requests of one client
    std::shared_ptr<RequestSpacing> spacing;  // shared with other clients; may be empty
    std::function<void(int seconds)> waitingForRateLimit;  // may be empty
};

// One listing's requests: paced, retried, read.
class WeiboClient {
public:
    explicit WeiboClient(WeiboPacing pacing);
    // `request` is sent as it is (headers included).
    WeiboAnswer get(PageRequest request);

private:
    // `afterRefusal`: a refusal's wait came just before, and was this request's pause.
    WeiboAnswer getOnce(PageRequest &request, bool afterRefusal);
    void pace(bool afterRefusal);

    WeiboPacing m_pacing;
};

}  // namespace pictrove
