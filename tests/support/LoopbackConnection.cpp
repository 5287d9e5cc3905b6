#include "support/LoopbackConnection.h"

#include "support/Fixtures.h"

#include <QFile>

#include <openssl/err.h>
#include <openssl/ssl.h>

#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>

namespace pictrove {

LoopbackConnection::LoopbackConnection(int fd, SSL_CTX *tls)
    : m_fd(fd)
{
    if (tls) {
        m_ssl = SSL_new(tls);
        SSL_set_fd(m_ssl, fd);
    }
}

LoopbackConnection::~LoopbackConnection()
{
    if (m_ssl)
        SSL_free(m_ssl);
}

bool LoopbackConnection::handshake()
{
    if (!m_ssl)
        return true;
    const bool ok = SSL_accept(m_ssl) == 1;
    ERR_clear_error();
    return ok;
}

bool LoopbackConnection::readSome(QByteArray &into)
{
    char buffer[16384];
    for (;;) {
        ssize_t n;
        if (m_ssl) {
            n = SSL_read(m_ssl, buffer, int(sizeof buffer));
            if (n <= 0)
                ERR_clear_error();
        } else {
            n = ::recv(m_fd, buffer, sizeof buffer, 0);
            if (n < 0 && errno == EINTR)
                continue;
        }
        if (n <= 0)
            return false;
        into.append(buffer, qsizetype(n));
        return true;
    }
}

bool LoopbackConnection::writeAll(const char *data, qsizetype length)
{
    qsizetype done = 0;
    while (done < length) {
        ssize_t n;
        if (m_ssl) {
            n = SSL_write(m_ssl, data + done, int(length - done));
            if (n <= 0)
                ERR_clear_error();
        } else {
            n = ::send(m_fd, data + done, size_t(length - done), MSG_NOSIGNAL);
            if (n < 0 && errno == EINTR)
                continue;
        }
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

void LoopbackConnection::finish()
{
    if (m_ssl) {
        SSL_shutdown(m_ssl);
        ERR_clear_error();
    }
    ::shutdown(m_fd, SHUT_RDWR);
}

SSL_CTX *createTestTlsContext()
{
    SSL_CTX *context = SSL_CTX_new(TLS_server_method());
    if (!context)
        return nullptr;
    const QByteArray cert = QFile::encodeName(fixturePath(QStringLiteral("tls/server.pem")));
    const QByteArray key = QFile::encodeName(fixturePath(QStringLiteral("tls/server.key")));
    if (SSL_CTX_use_certificate_chain_file(context, cert.constData()) != 1
        || SSL_CTX_use_PrivateKey_file(context, key.constData(), SSL_FILETYPE_PEM) != 1) {
        SSL_CTX_free(context);
        return nullptr;
    }
    return context;
}

void freeTlsContext(SSL_CTX *context)
{
    if (context)
        SSL_CTX_free(context);
}

}  // namespace pictrove
