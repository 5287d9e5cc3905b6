#pragma once
// Process-wide set-up of the HTTP layer, and the hooks tests use to aim it at their own
// loopback servers.
//
// Front ends call initNetwork() once at start, before they start any thread. Fetch
// calls it too (it runs once), so tests and tools may skip it.
//
// Test hooks. They change how every later fetch of the process connects, so only tests,
// benchmarks and test tools call them:
//   setConnectTo({"weibo.com:443:127.0.0.1:41234", "blog.sina.com.cn:80:127.0.0.1:41235"})
//       sends requests for a real host name and port to another address and port; the
//       Host header, TLS server name and certificate check still use the real name.
//       Entries are libcurl CONNECT_TO entries: "host:port:connect-host:connect-port".
//   setCaFile("/path/ca.pem")
//       trusts the certificates in that file (instead of the system's), e.g. the test
//       certificate authority under tests/fixtures/tls/.
// While either hook is active no proxy is used, so a proxy in the environment cannot
// swallow loopback traffic. Child processes (the CLI under test) take the same hooks
// from the environment at start: PICTROVE_TEST_CONNECT_TO (entries separated by ",")
// and PICTROVE_TEST_CA_FILE. Empty lists / empty paths switch a hook off.

#include <QString>
#include <QStringList>

#include <functional>

namespace pictrove {

void initNetwork();

void setConnectTo(const QStringList &entries);
void setCaFile(const QString &path);

// Called with the size of every piece of a request body handed to the HTTP library,
// so tests can observe that uploads go in 1024-byte pieces. Empty function: off.
void setUploadChunkObserver(std::function<void(qsizetype)> observer);

// Replaces the pause Fetch makes after a rejected try (seconds), so tests can count the
// pauses instead of sleeping through them. Empty function: the real sleep.
void setRetryPauseHook(std::function<void(int)> hook);

}  // namespace pictrove
