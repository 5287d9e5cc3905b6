#include "support/ScopedRouting.h"

#include "net/NetworkSetup.h"

namespace pictrove {

ScopedRouting::ScopedRouting(const LoopbackServer &server, const QStringList &hosts)
{
    for (const QString &host : hosts)
        m_entries.append(server.connectToEntry(host));
    apply();
}

ScopedRouting::ScopedRouting(const LoopbackServer &server, const QStringList &hosts, int realPort)
{
    for (const QString &host : hosts)
        m_entries.append(server.connectToEntry(host, realPort));
    apply();
}

ScopedRouting::~ScopedRouting()
{
    setConnectTo({});
    setCaFile(QString());
}

void ScopedRouting::apply()
{
    setConnectTo(m_entries);
    setCaFile(LoopbackServer::caFile());
}

QProcessEnvironment ScopedRouting::environment(QProcessEnvironment base) const
{
    base.insert(QStringLiteral("PICTROVE_TEST_CONNECT_TO"), m_entries.join(QLatin1Char(',')));
    base.insert(QStringLiteral("PICTROVE_TEST_CA_FILE"), LoopbackServer::caFile());
    return base;
}

}  // namespace pictrove
