#pragma once
// One accepted socket of the loopback server, plain or TLS. Internal to the server.

#include <QByteArray>

// OpenSSL's own names, declared where OpenSSL declares them.
typedef struct ssl_st SSL;
typedef struct ssl_ctx_st SSL_CTX;

namespace pictrove {

class LoopbackConnection {
public:
    // Takes part in `fd`'s life only as a reader/writer: the server closes the fd after
    // the connection's thread has been joined, so a number is never reused under it.
    LoopbackConnection(int fd, SSL_CTX *tls);
    ~LoopbackConnection();

    bool handshake();  // true at once for plain HTTP
    // Some bytes (appended to `into`); false at end of stream or on error.
    bool readSome(QByteArray &into);
    bool writeAll(const char *data, qsizetype length);
    bool writeAll(const QByteArray &data) { return writeAll(data.constData(), data.size()); }
    // Ends the stream: the client sees the end of the response.
    void finish();

private:
    int m_fd;
    SSL *m_ssl = nullptr;
};

// The context for the test certificate; null when OpenSSL cannot load it.
SSL_CTX *createTestTlsContext();
void freeTlsContext(SSL_CTX *context);

}  // namespace pictrove
