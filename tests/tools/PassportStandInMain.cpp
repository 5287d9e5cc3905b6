// passport_stand_in [SCRIPT...]: serves the loopback stand-in of Weibo's passport
// (tests/support/PassportStandIn.h) until stopped, for trying pictrove-cli login and
// the desktop program's scan-to-log-in by hand. Each SCRIPT is one code's return
// codes, comma-separated ("50114001,50114002,20000000"). Prints the two variables that
// route a pictrove-cli or pictrove started in another shell to it.

#include "support/PassportStandIn.h"
#include "support/ScopedRouting.h"

#include <QCoreApplication>
#include <QStringList>

#include <csignal>
#include <cstdio>
#include <unistd.h>

using namespace pictrove;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QList<QList<int>> scripts;
    for (const QString &argument : app.arguments().mid(1)) {
        QList<int> codes;
        for (const QString &code : argument.split(u','))
            codes.append(code.toInt());
        scripts.append(codes);
    }
    if (scripts.isEmpty())
        scripts = {{50114001, 50114001, 50114002, 50114002, 20000000}};
    PassportStandIn passport;
    passport.setScripts(scripts);
    ScopedRouting routing(passport.server(), PassportStandIn::hosts());
    const QProcessEnvironment env = routing.environment(QProcessEnvironment());
    for (const QString &name : env.keys())
        std::printf("export %s='%s'\n", qPrintable(name), qPrintable(env.value(name)));
    std::fflush(stdout);
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigprocmask(SIG_BLOCK, &signals, nullptr);
    int received = 0;
    sigwait(&signals, &received);
    return 0;
}
