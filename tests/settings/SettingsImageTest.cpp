#include "settings/SettingsImage.h"
#include "settings/SourceType.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>

namespace pictrove {

namespace {

// The record as the Windows program lays it out, written here byte by byte from the
// documented offsets so that the serialiser is checked against something it did not
// produce itself.
constexpr int kParams = 0, kParamsSize = 8;
constexpr int kRules = 192, kRulesSize = 484;
constexpr int kOwnerHistory = 11808, kSavePathHistory = 15808, kHistoryBytes = 800;

void putU16(QByteArray &image, int offset, uint16_t value)
{
    image[offset] = char(value & 0xFF);
    image[offset + 1] = char(value >> 8);
}

uint16_t getU16(const QByteArray &image, int offset)
{
    return uint16_t(uint8_t(image[offset]) | uint8_t(image[offset + 1]) << 8);
}

void putUtf16(QByteArray &image, int offset, const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i)
        putU16(image, offset + 2 * int(i), text.at(i).unicode());
}

// Distinct texts per field, index and source type, with a non-ASCII character so a
// byte-order or code-page mistake shows.
QString ruleText(int field, int type)
{
    return QStringLiteral("f%1t%2图").arg(field).arg(type);
}

QString historyText(const char *kind, int entry)
{
    return QStringLiteral("%1 %2 相册").arg(QLatin1String(kind)).arg(entry);
}

SettingsBlock distinctBlock()
{
    SettingsBlock block;
    for (int i = 0; i < kSourceTypeRecordCount; ++i) {
        block.downloadParams[i] = {uint16_t(1000 + i), uint16_t(2000 + i), uint16_t(3000 + i), uint16_t(40000 + i)};
        NameRules &r = block.nameRules[i];
        r.filePrefix = ruleText(0, i);
        r.fileSuffix = ruleText(1, i);
        r.findText = ruleText(2, i);
        r.replaceText = ruleText(3, i);
        r.folderPrefix = ruleText(4, i);
        r.folderSuffix = ruleText(5, i);
        r.options = uint16_t(0xA500 + i);
        r.fileBase = uint8_t(i);
        r.folderBase = uint8_t(200 + i);
    }
    for (int k = 0; k < kHistoryCount; ++k) {
        block.ownerHistory[k] = historyText("owner", k);
        block.savePathHistory[k] = historyText("path", k);
    }
    return block;
}

QByteArray handBuiltImage()
{
    QByteArray image(19808, '\0');
    for (int i = 0; i < 24; ++i) {
        const int p = kParams + i * kParamsSize;
        putU16(image, p + 0, uint16_t(1000 + i));
        putU16(image, p + 2, uint16_t(2000 + i));
        putU16(image, p + 4, uint16_t(3000 + i));
        putU16(image, p + 6, uint16_t(40000 + i));
        const int r = kRules + i * kRulesSize;
        const int textOffsets[] = {0, 80, 160, 240, 320, 400};
        for (int field = 0; field < 6; ++field)
            putUtf16(image, r + textOffsets[field], ruleText(field, i));
        putU16(image, r + 480, uint16_t(0xA500 + i));
        image[r + 482] = char(i);
        image[r + 483] = char(200 + i);
    }
    for (int k = 0; k < 5; ++k) {
        putUtf16(image, kOwnerHistory + k * kHistoryBytes, historyText("owner", k));
        putUtf16(image, kSavePathHistory + k * kHistoryBytes, historyText("path", k));
    }
    return image;
}

qsizetype firstDifference(const QByteArray &a, const QByteArray &b)
{
    for (qsizetype i = 0; i < std::min(a.size(), b.size()); ++i) {
        if (a[i] != b[i])
            return i;
    }
    return a.size() == b.size() ? -1 : std::min(a.size(), b.size());
}

}  // namespace

TEST(SettingsImage, WritesEveryFieldAtItsOffset)
{
    const QByteArray image = toSettingsImage(distinctBlock());
    ASSERT_EQ(image.size(), 19808);
    EXPECT_EQ(firstDifference(image, handBuiltImage()), -1) << "first differing byte offset";

    // Spot checks that read like the layout table.
    const int sina = settingsIndex(SourceType::Sina);
    EXPECT_EQ(getU16(image, sina * 8 + 4), 3000 + sina);              // threads of Sina's record
    EXPECT_EQ(getU16(image, 192 + sina * 484 + 480), 0xA500 + sina);  // its option flags
    EXPECT_EQ(uint8_t(image[192 + 23 * 484 + 483]), 223);             // folder base of the last record
    EXPECT_EQ(getU16(image, 15808 + 4 * 800), u'p');        // oldest save path
}

TEST(SettingsImage, ReadsAHandBuiltRecord)
{
    EXPECT_EQ(fromSettingsImage(handBuiltImage()), distinctBlock());
}

TEST(SettingsImage, ShortImageReadsAsZeroPadded)
{
    const QByteArray full = handBuiltImage();
    // 100 bytes end inside the parameters of Moko's record (the thirteenth): its sizes
    // are read, its threads not.
    const int moko = settingsIndex(SourceType::Moko);
    const SettingsBlock block = fromSettingsImage(full.left(100));
    const SettingsBlock expected = distinctBlock();
    for (int i = 0; i < moko; ++i)
        EXPECT_EQ(block.downloadParams[i], expected.downloadParams[i]) << "type " << i;
    EXPECT_EQ(block.downloadParams[moko].maxKB, 2000 + moko);
    EXPECT_EQ(block.downloadParams[moko].threads, 0);
    EXPECT_EQ(block.nameRules[settingsIndex(SourceType::QqZone)], NameRules());
    EXPECT_TRUE(block.ownerHistory[0].isEmpty());

    EXPECT_EQ(fromSettingsImage(QByteArray()), SettingsBlock());
    EXPECT_EQ(fromSettingsImage(full + QByteArray(64, 'x')), distinctBlock());
}

// Every writer leaves room for the terminator; a foreign record whose text fills its
// array is read to the array's end and not into the next field.
TEST(SettingsImage, TextsAreBoundedByTheirArrays)
{
    const QString pair = QStringLiteral("😀");  // two code units
    struct Case {
        const char *name;
        QString text;
        QString stored;
    };
    const Case cases[] = {
        {"fits", QString(39, u'a'), QString(39, u'a')},
        {"one too long", QString(40, u'b'), QString(39, u'b')},
        {"much too long", QString(60, u'c'), QString(39, u'c')},
        {"pair across the cut", QString(38, u'd') + pair, QString(38, u'd')},
        {"pair before the cut", QString(37, u'e') + pair + u'x', QString(37, u'e') + pair},
    };
    const int renren = settingsIndex(SourceType::Renren);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        SettingsBlock block;
        block.nameRules[renren].findText = c.text;
        block.nameRules[renren].replaceText = QStringLiteral("next");
        const QByteArray image = toSettingsImage(block);
        EXPECT_EQ(getU16(image, 192 + renren * 484 + 160 + 78), 0) << "terminator slot";
        const SettingsBlock back = fromSettingsImage(image);
        EXPECT_EQ(back.nameRules[renren].findText, c.stored);
        EXPECT_EQ(back.nameRules[renren].replaceText, QStringLiteral("next"));
    }

    SettingsBlock block;
    block.ownerHistory[0] = QString(399, u'h');
    block.ownerHistory[1] = QString(400, u'i');
    const SettingsBlock back = fromSettingsImage(toSettingsImage(block));
    EXPECT_EQ(back.ownerHistory[0], QString(399, u'h'));
    EXPECT_EQ(back.ownerHistory[1], QString(399, u'i'));

    const int qqZone = settingsIndex(SourceType::QqZone);
    QByteArray full(19808, '\0');
    putUtf16(full, 192 + qqZone * 484 + 160, QString(40, u'z'));  // its find text, unterminated
    putUtf16(full, 192 + qqZone * 484 + 240, QStringLiteral("rep"));
    const SettingsBlock foreign = fromSettingsImage(full);
    EXPECT_EQ(foreign.nameRules[qqZone].findText, QString(40, u'z'));
    EXPECT_EQ(foreign.nameRules[qqZone].replaceText, QStringLiteral("rep"));
}

}  // namespace pictrove
