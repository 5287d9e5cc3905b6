#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pictrove-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PICTROVE_VERSION));
    QTextStream out(stdout);
    const QStringList args = app.arguments();
    if (args.contains(QStringLiteral("--version"))) {
        out << "pictrove-cli " << PICTROVE_VERSION << "\n";
        return 0;
    }
    QTextStream(stderr) << "usage: pictrove-cli --help | --version\n";
    return 2;
}
