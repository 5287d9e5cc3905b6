#include "settings/IniReader.h"

#include "text/Charsets.h"

#include <QFile>
#include <QStringDecoder>

namespace pictrove {

namespace {

constexpr int kMaxIntegerTextLength = 64;

QString withoutQuotes(const QString &value)
{
    if (value.size() >= 2 && value.front() == value.back()
        && (value.front() == u'"' || value.front() == u'\''))
        return value.mid(1, value.size() - 2);
    return value;
}

}  // namespace

IniReader::IniReader(const QString &path)
    : m_path(path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    QString text = decodeFile(file.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');

    Section *current = nullptr;
    for (const QString &rawLine : text.split(u'\n')) {
        const QString line = rawLine.trimmed();
        if (line.startsWith(u'[')) {
            const qsizetype close = line.lastIndexOf(u']');
            const QString name = close > 0 ? line.mid(1, close - 1) : line.mid(1);
            m_sections.append(Section{name.trimmed(), {}});
            current = &m_sections.back();
            continue;
        }
        if (!current || line.startsWith(u';'))
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0)
            continue;
        const QString key = line.left(equals).trimmed();
        if (!key.isEmpty())
            current->entries.append({key, withoutQuotes(line.mid(equals + 1).trimmed())});
    }
}

QString IniReader::decodeFile(const QByteArray &bytes)
{
    if (bytes.startsWith("\xFF\xFE")) {
        QStringDecoder utf16(QStringDecoder::Utf16LE);
        return utf16(bytes.mid(2));
    }
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    // Without a mark, text that is valid UTF-8 is taken as such; Notepad on a Chinese
    // system saves GBK, which is rarely valid UTF-8 once it holds Chinese text.
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return fromCodePage(bytes, kCodePageGbk);
}

const QString *IniReader::find(const QString &section, const QString &key) const
{
    for (const Section &candidate : m_sections) {
        if (candidate.name.compare(section, Qt::CaseInsensitive) != 0)
            continue;
        for (const auto &entry : candidate.entries) {
            if (entry.first.compare(key, Qt::CaseInsensitive) == 0)
                return &entry.second;
        }
        return nullptr;
    }
    return nullptr;
}

QString IniReader::getString(const QString &section, const QString &key, const QString &defaultValue) const
{
    const QString *value = find(section, key);
    return value ? *value : defaultValue;
}

uint32_t IniReader::GetInt(const QString &section, const QString &key, uint32_t defaultValue) const
{
    const QString text = getString(section, key, QString()).left(kMaxIntegerTextLength);
    if (text.isEmpty())
        return defaultValue;
    qsizetype i = 0;
    const bool negative = text.front() == u'-';
    if (negative || text.front() == u'+')
        ++i;
    uint64_t number = 0;
    for (; i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9'; ++i) {
        number = number * 10 + uint64_t(text.at(i).unicode() - u'0');
        if (number > UINT32_MAX)
            return UINT32_MAX;
    }
    const auto value = uint32_t(number);
    return negative ? uint32_t(0) - value : value;
}

}  // namespace pictrove
