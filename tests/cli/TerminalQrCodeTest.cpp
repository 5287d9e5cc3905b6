// The code drawn in a terminal reads back to its text, from a dark and from a light
// terminal, and takes two modules per character row with the quiet zone around.

#include "TerminalQrReader.h"

#include "cli/TerminalQrCode.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace pictrove {

namespace {

TEST(TerminalQrCode, AHalfBlockDrawingReadsBackOnDarkAndLightTerminals)
{
    if (!haveQrReader())
        GTEST_SKIP() << "zbarimg (zbar-tools) is not installed";
    const QString texts[] = {
        QStringLiteral("https://passport.weibo.cn/signin/qrcode/scan?qr=Q1&sinainternalbrowser=topnav"),
        // 21 modules and the quiet zone: an odd number of rows, the last one alone.
        QStringLiteral("Q1"),
    };
    for (const QString &text : texts) {
        const QrMatrix matrix = QrMatrix::encode(text.toUtf8());
        const QString drawing = terminalQrCode(matrix);
        for (const TerminalTheme theme : {TerminalTheme::Dark, TerminalTheme::Light}) {
            SCOPED_TRACE((text + (theme == TerminalTheme::Dark ? QStringLiteral(" dark") : QStringLiteral(" light"))).toStdString());
            EXPECT_EQ(readTerminalQr(drawing, theme), text);
        }
    }
}

TEST(TerminalQrCode, TwoModulesPerRowWithTheQuietZoneAround)
{
    const QrMatrix matrix = QrMatrix::encode("https://passport.weibo.cn/signin/qrcode/scan?qr=Q1");
    const QStringList lines = terminalQrCode(matrix).split(u'\n', Qt::SkipEmptyParts);
    const int side = matrix.size() + 2 * kQrQuietZone;
    EXPECT_EQ(lines.size(), (side + 1) / 2);
    for (const QString &line : lines) {
        EXPECT_EQ(line.count(u'\u2580'), side);
        // Every cell sets both colours itself; the line ends back at the terminal's own.
        EXPECT_EQ(line.count(QStringLiteral("\x1b[")), side + 1);
        EXPECT_TRUE(line.endsWith(QStringLiteral("\x1b[0m")));
    }
    // The first row is quiet zone: light over light all the way.
    EXPECT_EQ(lines.first().count(QStringLiteral("\x1b[97;107m")), side);
    EXPECT_TRUE(terminalQrCode(QrMatrix()).isEmpty());
}

}  // namespace

}  // namespace pictrove
