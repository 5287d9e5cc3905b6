#include "settings/SettingsValidation.h"

#include <QStringList>

#include <limits>

namespace pictrove {

int readNumberField(const QString &text)
{
    const QString trimmed = text.trimmed();
    qsizetype pos = 0;
    bool negative = false;
    if (pos < trimmed.size() && (trimmed[pos] == u'-' || trimmed[pos] == u'+')) {
        negative = trimmed[pos] == u'-';
        ++pos;
    }
    if (pos == trimmed.size())
        return 0;
    qint64 value = 0;
    for (; pos < trimmed.size(); ++pos) {
        const char16_t c = trimmed[pos].unicode();
        if (c < u'0' || c > u'9')
            return 0;
        value = value * 10 + (c - u'0');
        if (value > qint64(std::numeric_limits<int>::max()) + 1)
            return 0;
    }
    if (negative)
        value = -value;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return 0;
    return int(value);
}

std::optional<DownloadParams> validateDownloadParams(const DownloadParamInput &input)
{
    // The record holds 16-bit values, so the range check looks at what would be
    // stored: 65537 threads is one thread, -1 seconds is 65535 seconds.
    DownloadParams params;
    params.threads = uint16_t(readNumberField(input.threads));
    params.timeoutSeconds = uint16_t(readNumberField(input.timeout));
    params.minKB = uint16_t(readNumberField(input.minKB));
    params.maxKB = uint16_t(readNumberField(input.maxKB));
    if (params.threads < 1 || params.threads > kMaxThreads || params.timeoutSeconds < kMinTimeoutSeconds)
        return std::nullopt;
    return params;
}

QString cutNameInput(const QString &text)
{
    if (text.size() <= kMaxNameInputLength)
        return text;
    qsizetype length = kMaxNameInputLength;
    if (text[length - 1].isHighSurrogate())
        --length;
    return text.left(length);
}

void storeNameRuleInput(NameRules &rules, const NameRuleInput &input)
{
    rules.filePrefix = cutNameInput(input.filePrefix);
    rules.fileSuffix = cutNameInput(input.fileSuffix);
    rules.findText = cutNameInput(input.find);
    rules.replaceText = cutNameInput(input.replace);
    rules.folderPrefix = cutNameInput(input.folderPrefix);
    rules.folderSuffix = cutNameInput(input.folderSuffix);
    rules.fileBase = (input.fileBase >= kFileBaseDescription && input.fileBase <= kFileBaseAddress)
                          ? uint8_t(input.fileBase)
                          : kFileBaseDescription;
    rules.folderBase = (input.folderBase == kFolderBaseAlbumName || input.folderBase == kFolderBaseNone)
                            ? uint8_t(input.folderBase)
                            : kFolderBaseAlbumName;
}

QString prefixSuffixHelpText()
{
    static const char16_t *const lines[] = {
        u"设置前后缀，可以在图片本来的文件名前后加上指定的字符",
        u"如：图片本来的文件名为：tolmar.jpg，如果前缀为空，后缀为_com",
        u"则最后图片名将变为tolmar_com.jpg",
        u"如果前缀为www_，后缀为_com",
        u"则最后图片名将变为www_tolmar_com.jpg",
        u"相册名那里前后缀一样",
        u"同时，支持转义字符，当前后缀中含有转义字符时，程序会将转义字符转换为转义字符所表示的字符串",
        u"转义字符如下（问号为英文的问号，相册名的转义字符只支持?1,?3,?9）：",
        u"?1:相册名称",
        u"?2:图片在相册中的序号",
        u"?3:相册在列表中的序号(格式为：1,2,3...)",
        u"?4:未定义",
        u"?5:未定义",
        u"?6:选中的相册数",
        u"?7:总共的相册数(选中的+未选中的)",
        u"?9:相册在列表中的序号(格式为：0001,0002,0003...)",
    };
    QStringList text;
    for (const char16_t *line : lines)
        text.append(QString::fromUtf16(line));
    return text.join(QLatin1Char('\n'));
}

QString postEscapeHelpText()
{
    static const char16_t *const lines[] = {
        u"文件名的前后缀还支持以下转义字符（问号为英文的问号，字母为小写）：",
        u"?d:发布日期(北京时间，格式为：20240131)",
        u"?t:发布时间(北京时间，格式为：235959)",
        u"?p:微博(帖子)的编号",
        u"?i:图片的编号",
        u"?n:图片在它那条微博中的序号(1,2,3...)",
        u"?o:用户的编号(uid)",
        u"网站没有给出的值转为空字符串；文件名重复时照常在后面加上(1)、(2)...",
        u"例：文件名选“序号”，前缀为 ?d_?p_，第一张图片得到 20240131_4999999999999999_1.jpg",
        u"例：文件名选“网址”，前缀为 ?d_?t_?n_，得到 20240131_235959_2_006abc.jpg",
        u"相册名的前后缀不支持这些转义字符",
    };
    QStringList text;
    for (const char16_t *line : lines)
        text.append(QString::fromUtf16(line));
    return text.join(QLatin1Char('\n'));
}

}  // namespace pictrove
