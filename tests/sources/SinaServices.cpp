#include "SinaServices.h"

#include "net/NetworkSetup.h"
#include "support/Fixtures.h"

#include <QUrlQuery>

#include <memory>
#include <mutex>

namespace pictrove {

namespace {

const char *const kHosts[] = {
    "blog.sina.com.cn", "photo.blog.sina.com.cn", "s1.sinaimg.cn", "weibo.com", "www.weibo.com", "photo.weibo.com",
    "example.test",
};

}  // namespace

SinaServices::SinaServices()
{
    QStringList entries;
    for (const char *host : kHosts) {
        entries.append(m_http.connectToEntry(QString::fromLatin1(host)));
        entries.append(m_https.connectToEntry(QString::fromLatin1(host)));
    }
    setConnectTo(entries);
    setCaFile(LoopbackServer::caFile());
}

SinaServices::~SinaServices()
{
    setConnectTo({});
    setCaFile(QString());
}

void SinaServices::route(const QByteArray &host, const QByteArray &target, const CannedResponse &response)
{
    m_http.route(host, target, response);
    m_https.route(host, target, response);
}

void SinaServices::route(const QByteArray &host, const QByteArray &target,
                         const LoopbackServer::Handler &handler)
{
    m_http.route(host, target, handler);
    m_https.route(host, target, handler);
}

void SinaServices::routeFixture(const QByteArray &host, const QByteArray &target, const QString &fixture,
                                const QByteArray &contentType)
{
    route(host, target, CannedResponse::ok(readFixture(QStringLiteral("sources/") + fixture), contentType));
}

QList<RecordedRequest> SinaServices::requestsTo(const QByteArray &host) const
{
    QList<RecordedRequest> found;
    for (const LoopbackServer *server : {&m_http, &m_https}) {
        for (const RecordedRequest &request : server->requests()) {
            if (request.host() == host)
                found.append(request);
        }
    }
    return found;
}

QList<QByteArray> SinaServices::targetsOf(const QByteArray &host) const
{
    QList<QByteArray> targets;
    for (const RecordedRequest &request : requestsTo(host))
        targets.append(request.target);
    return targets;
}

int pageOf(const QByteArray &target)
{
    const qsizetype q = target.indexOf('?');
    if (q < 0)
        return 0;
    const QUrlQuery query(QString::fromLatin1(target.mid(q + 1)));
    return query.queryItemValue(QStringLiteral("page")).toInt();
}

LoopbackServer::Handler photoPages(const QHash<int, QList<QByteArray>> &script, const QByteArray &fallback)
{
    struct State {
        std::mutex mutex;
        QHash<int, QList<QByteArray>> script;
        QHash<int, int> asked;
        QByteArray fallback;
    };
    auto state = std::make_shared<State>();
    state->script = script;
    state->fallback = fallback;
    return [state](const RecordedRequest &request) {
        std::lock_guard lock(state->mutex);
        const int page = pageOf(request.target);
        const int asked = state->asked[page]++;
        const QList<QByteArray> bodies = state->script.value(page);
        if (bodies.isEmpty())
            return CannedResponse::ok(state->fallback, "application/json; charset=utf-8");
        return CannedResponse::ok(bodies.at(qMin<qsizetype>(asked, bodies.size() - 1)),
                                  "application/json; charset=utf-8");
    };
}

void SinaServices::clearLog()
{
    m_http.clearLog();
    m_https.clearLog();
}

}  // namespace pictrove
