#pragma once
// The Sina blog and Weibo hosts impersonated on loopback for the sources' suites: one
// plain and one TLS server answer the same routes, and the real host names of both
// schemes are routed to them for as long as the object lives (one at a time: the
// routing is process-wide).

#include "support/LoopbackServer.h"

#include <QHash>
#include <QStringList>

namespace pictrove {

class SinaServices {
public:
    SinaServices();
    ~SinaServices();
    SinaServices(const SinaServices &) = delete;
    SinaServices &operator=(const SinaServices &) = delete;

    void route(const QByteArray &host, const QByteArray &target, const CannedResponse &response);
    void route(const QByteArray &host, const QByteArray &target, const LoopbackServer::Handler &handler);
    // A fixture of tests/fixtures/sources as a 200 answer.
    void routeFixture(const QByteArray &host, const QByteArray &target, const QString &fixture,
                      const QByteArray &contentType = "text/html; charset=utf-8");

    // Every request both servers received for `host`, each server's in arrival order
    // (a fetcher keeps one scheme per host, so the order holds within a test).
    QList<RecordedRequest> requestsTo(const QByteArray &host) const;
    QList<QByteArray> targetsOf(const QByteArray &host) const;
    // Forgets the requests received so far.
    void clearLog();

private:
    LoopbackServer m_http{LoopbackServer::Http};
    LoopbackServer m_https{LoopbackServer::Https};
};

// Weibo photo pages by page number: `script` lists, per page, the bodies answered to
// its first, second, ... request (the last one repeats); other pages get `fallback`.
LoopbackServer::Handler photoPages(const QHash<int, QList<QByteArray>> &script, const QByteArray &fallback);

// The page number of a photo-page request target ("...&page=3&_rnd=..."); 0 when absent.
int pageOf(const QByteArray &target);

}  // namespace pictrove
