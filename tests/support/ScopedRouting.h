#pragma once
// Sends the fetches of this process for real host names to a loopback server, and trusts
// the test certificate, for as long as the object lives. One at a time: the hooks are
// process-wide.
//
//     LoopbackServer server(LoopbackServer::Https);
//     ScopedRouting routing(server, {"photo.weibo.com", "weibo.com"});
//     // https://photo.weibo.com/... now reaches `server`, certificate checked.
//
// Plain HTTP servers take port 80 requests, TLS servers port 443 ones; pass another
// port with the second constructor. environment() gives the same routing as the
// variables a child process (the CLI under test) reads at start.

#include "support/LoopbackServer.h"

#include <QProcessEnvironment>
#include <QStringList>

namespace pictrove {

class ScopedRouting {
public:
    ScopedRouting(const LoopbackServer &server, const QStringList &hosts);
    // For addresses with an explicit port: "http://weibo.com:8080/" needs realPort 8080.
    ScopedRouting(const LoopbackServer &server, const QStringList &hosts, int realPort);
    ~ScopedRouting();
    ScopedRouting(const ScopedRouting &) = delete;
    ScopedRouting &operator=(const ScopedRouting &) = delete;

    QStringList entries() const { return m_entries; }
    // PICTROVE_TEST_CONNECT_TO and PICTROVE_TEST_CA_FILE added to `base`.
    QProcessEnvironment environment(
        QProcessEnvironment base = QProcessEnvironment::systemEnvironment()) const;

private:
    void apply();
    QStringList m_entries;
};

}  // namespace pictrove
