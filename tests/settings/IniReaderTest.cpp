#include "settings/IniReader.h"
#include "text/Charsets.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>

namespace pictrove {

namespace {

// Hand-edited shape: comments, blanks around names and values, mixed letter case,
// CRLF line ends, a value in quotes, a second section of the same name.
const QString kIni = QStringLiteral(
    "; 扩展设置\r\n"
    "orphan=before any section\r\n"
    "[ qq空间 ]\r\n"
    "  v2编码 = UTF8-BOM  \r\n"
    "取原始名方式=3\r\n"
    "取原始名方式=4\r\n"
    "empty=\r\n"
    "no equals sign\r\n"
    "[Instagram]\n"
    "Name = \"quoted value\"\n"
    "Url=http://a/b?c=d\n"
    "[QQ空间]\n"
    "V3编码=BIG5\n");

QByteArray encode(const QString &text, const char *encoding)
{
    const QByteArray name(encoding);
    if (name == "utf16le-bom") {
        QByteArray bytes("\xFF\xFE");
        for (QChar c : text) {
            bytes.append(char(c.unicode() & 0xFF));
            bytes.append(char(c.unicode() >> 8));
        }
        return bytes;
    }
    if (name == "utf8-bom")
        return "\xEF\xBB\xBF" + text.toUtf8();
    if (name == "utf8")
        return text.toUtf8();
    return toGbk(text);
}

QString writeIni(const QTemporaryDir &dir, const QByteArray &bytes)
{
    const QString path = dir.filePath(QStringLiteral("test.ini"));
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(bytes);
    return path;
}

}  // namespace

TEST(IniReader, ReadsEveryEncodingIgnoringCase)
{
    QTemporaryDir dir;
    for (const char *encoding : {"utf16le-bom", "utf8-bom", "utf8", "gbk"}) {
        SCOPED_TRACE(encoding);
        const QByteArray bytes = encode(kIni, encoding);
        if (QByteArray(encoding) == "gbk") {
            QStringDecoder utf8(QStringDecoder::Utf8);
            const QString decoded = utf8(bytes);  // decoding happens on conversion
            ASSERT_TRUE(utf8.hasError()) << "the GBK sample must not pass for UTF-8";
        }
        const IniReader ini(writeIni(dir, bytes));
        EXPECT_EQ(ini.getString(QStringLiteral("QQ空间"), QStringLiteral("V2编码"), QStringLiteral("ANSI")),
                  QStringLiteral("UTF8-BOM"));
        EXPECT_EQ(ini.getString(QStringLiteral("INSTAGRAM"), QStringLiteral("name"), {}),
                  QStringLiteral("quoted value"));
        EXPECT_EQ(ini.getString(QStringLiteral("instagram"), QStringLiteral("URL"), {}),
                  QStringLiteral("http://a/b?c=d"));
        EXPECT_EQ(ini.GetInt(QStringLiteral("qq空间"), QStringLiteral("取原始名方式"), 1), 3u) << "first key wins";
        EXPECT_EQ(ini.getString(QStringLiteral("qq空间"), QStringLiteral("V3编码"), QStringLiteral("ANSI")),
                  QStringLiteral("ANSI")) << "only the first section of a name counts";
        EXPECT_EQ(ini.getString(QStringLiteral("qq空间"), QStringLiteral("empty"), QStringLiteral("dflt")), QString());
        EXPECT_EQ(ini.getString(QStringLiteral("qq空间"), QStringLiteral("no equals sign"), QStringLiteral("dflt")),
                  QStringLiteral("dflt"));
        EXPECT_EQ(ini.getString(QString(), QStringLiteral("orphan"), QStringLiteral("dflt")), QStringLiteral("dflt"));
        EXPECT_EQ(ini.getString(QStringLiteral("京东"), QStringLiteral("x"), QStringLiteral("dflt")), QStringLiteral("dflt"));
    }

    const IniReader missing(dir.filePath(QStringLiteral("absent.ini")));
    EXPECT_EQ(missing.getString(QStringLiteral("QQ空间"), QStringLiteral("V2编码"), QStringLiteral("ANSI")),
              QStringLiteral("ANSI"));
    EXPECT_EQ(missing.GetInt(QStringLiteral("QQ空间"), QStringLiteral("取原始名方式"), 7), 7u);
}

TEST(IniReader, GetIntTakesLeadingDigits)
{
    struct Case {
        QString value;
        uint32_t expected;
    };
    const Case cases[] = {
        {QString(), 77},  // empty value: the default
        {QStringLiteral("42"), 42},
        {QStringLiteral(" 42 "), 42},
        {QStringLiteral("42abc"), 42},
        {QStringLiteral("abc"), 0},
        {QStringLiteral("+7"), 7},
        {QStringLiteral("-1"), 4294967295u},
        {QStringLiteral("-15"), uint32_t(-15)},
        {QStringLiteral("-abc"), 0},
        {QStringLiteral("4294967295"), 4294967295u},
        {QStringLiteral("99999999999"), 4294967295u},
        {QString(63, u'0') + u'5', 5},
        {QString(64, u'0') + u'5', 0},  // only the first 64 characters are looked at
    };
    QTemporaryDir dir;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value.toStdString());
        const IniReader ini(writeIni(dir, (QStringLiteral("[s]\nk=") + c.value + u'\n').toUtf8()));
        EXPECT_EQ(ini.GetInt(QStringLiteral("S"), QStringLiteral("K"), 77), c.expected);
    }
}

}  // namespace pictrove
