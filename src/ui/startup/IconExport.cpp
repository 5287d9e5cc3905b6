// Writes the program's icon for the menu entry as the desktop's icon theme expects it:
//   OUTDIR/scalable/apps/NAME.svg and OUTDIR/<n>x<n>/apps/NAME.png for n = 48, 128, 256.
// Run by the build; `cmake --install` copies OUTDIR to share/icons/hicolor/.

#include "ui/startup/ProgramIconArt.h"

#include <QDir>
#include <QFile>

#include <cstdio>

using namespace pictrove;

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fputs("usage: pictrove-icon-export OUTDIR NAME\n", stderr);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);

    const QString scalable = out + QStringLiteral("/scalable/apps");
    QFile svg(scalable + QLatin1Char('/') + name + QStringLiteral(".svg"));
    const QByteArray svgText = programIconSvg();
    if (!QDir().mkpath(scalable) || !svg.open(QIODevice::WriteOnly) || svg.write(svgText) != svgText.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(svg.fileName()));
        return 1;
    }
    for (int size : {48, 128, 256}) {
        const QString folder = out + QStringLiteral("/%1x%1/apps").arg(size);
        const QString file = folder + QLatin1Char('/') + name + QStringLiteral(".png");
        if (!QDir().mkpath(folder) || !programIconImage(size).save(file, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
