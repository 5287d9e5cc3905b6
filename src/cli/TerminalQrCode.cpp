#include "cli/TerminalQrCode.h"

namespace pictrove {

namespace {

// SGR colours: foreground black / bright white, background black / bright white.
constexpr char kDarkForeground[] = "30";
constexpr char kLightForeground[] = "97";
constexpr char kDarkBackground[] = "40";
constexpr char kLightBackground[] = "107";

}  // namespace

QString terminalQrCode(const QrMatrix &matrix)
{
    if (matrix.isEmpty())
        return QString();
    const int first = -kQrQuietZone;
    const int end = matrix.size() + kQrQuietZone;
    QString drawing;
    for (int y = first; y < end; y += 2) {
        QString line;
        for (int x = first; x < end; ++x) {
            // A last row of its own (an odd total) has the quiet zone's light below it.
            const bool top = matrix.dark(x, y);
            const bool bottom = y + 1 < end && matrix.dark(x, y + 1);
            line += QStringLiteral("\x1b[%1;%2m\u2580")
                        .arg(QLatin1String(top ? kDarkForeground : kLightForeground),
                             QLatin1String(bottom ? kDarkBackground : kLightBackground));
        }
        drawing += line + QStringLiteral("\x1b[0m\n");
    }
    return drawing;
}

}  // namespace pictrove
