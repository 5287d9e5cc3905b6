// Writes the manual page pictrove-cli.1 from the table --help prints. Run by the build.

#include "cli/CliHelp.h"

#include <QFile>

#include <cstdio>

using namespace pictrove;

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fputs("usage: pictrove-cli-manpage FILE\n", stderr);
        return 2;
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    const QByteArray page = cliManPage(QStringLiteral(PICTROVE_VERSION), QStringLiteral(PICTROVE_RELEASE_DATE));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(page) != page.size()) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
