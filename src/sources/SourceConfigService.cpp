#include "sources/SourceConfigService.h"

#include "net/AtomicFile.h"
#include "net/PageFetcher.h"
#include "net/PageText.h"
#include "text/Charsets.h"
#include "text/EngineLog.h"
#include "text/Scramble.h"
#include "text/TextScan.h"

#include <QFile>

namespace pictrove {

namespace {

// Stored texts: obscureString with this key.
const char16_t *const kStoredKey = u"Pictrove-1028";
const char *const kKeyName = "DF96CE9CCE8BCE8DCE90CE89CE9ACE";
// Answer markers: shiftBytes(marker, -3, 1); undone with (3, -1).
const char *const kEntryOpen = "Xcmts{#";
const char *const kEntryClose = "X-dnut|a";
const char *const kNamesMarker = "k_let?";
const char *const kValuesMarker = "s_kufu@";

QString stored(const char *scrambled)
{
    return obscureString(QString::fromLatin1(scrambled), false, QString::fromUtf16(kStoredKey));
}

QString marker(const char *shifted)
{
    return shiftBytes(QString::fromLatin1(shifted), 3, -1);
}

constexpr int kConfigKeyNumber = 4;

// The rest of the first line of `entry` that starts with `name`, without a CR.
QString lineValue(const QString &entry, const QString &name)
{
    const QStringList lines = entry.split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (!line.startsWith(name))
            continue;
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        return line.mid(name.size());
    }
    return QString();
}

}  // namespace

SourceConfigService::SourceConfigService(const QStringList &endpoints, const QString &answerFile)
    : m_endpoints(endpoints)
    , m_answerFile(answerFile)
{
}

void SourceConfigService::query(const QString &key, QStringList &names)
{
    for (int i = 0; i < m_endpoints.size(); ++i) {
        {
            std::lock_guard lock(m_mutex);
            m_endpointNumber = i + 1;
        }
        PageRequest request(configRequestUrl(m_endpoints.at(i), randomFraction()), QString(), 20000);
        request.readTimeoutMs = 20000;
        request.headers = QStringLiteral("Accept-Encoding: gzip, deflate\r\nReferer: .");
        PageResponse response;
        if (!fetch(request, response)) {
            qCDebug(lcEngine) << "configuration endpoint" << i + 1 << "not reachable";
            continue;
        }
        QStringList found;
        QStringList items;
        const QString answer = getText(response, kTextInflate | kTextUtf8);
        const int entry = parseConfigAnswer(answer, key, found, items);
        if (entry == 0) {
            qCDebug(lcEngine) << "configuration endpoint" << i + 1 << "gave no entry for" << key;
            continue;
        }
        if (!m_answerFile.isEmpty())
            rememberAnswer(answer);
        names = found;
        std::lock_guard lock(m_mutex);
        m_values = ServiceValues(items);
        m_entryNumber = entry;
        return;
    }
}

// Whole or not at all: the next start reads this file before the window shows.
void SourceConfigService::rememberAnswer(const QString &answer) const
{
    if (!writeFileAtomically(m_answerFile, answer.toUtf8()))
        qCWarning(lcEngine) << "cannot keep the configuration answer in" << m_answerFile;
}

ServiceValues SourceConfigService::values() const
{
    std::lock_guard lock(m_mutex);
    return m_values;
}

int SourceConfigService::endpointNumber() const
{
    std::lock_guard lock(m_mutex);
    return m_endpointNumber;
}

int SourceConfigService::entryNumber() const
{
    std::lock_guard lock(m_mutex);
    return m_entryNumber;
}

QString SourceConfigService::statusText() const
{
    std::lock_guard lock(m_mutex);
    return QStringLiteral("\tSrv Info:%1_%2").arg(m_endpointNumber).arg(m_entryNumber);
}

QString configurationKey()
{
    return QStringLiteral("%1_%2").arg(stored(kKeyName)).arg(kConfigKeyNumber);
}

QString configRequestUrl(const QString &endpoint, const QString &fraction)
{
    const QString format = endpoint.indexOf(QLatin1Char('?')) >= 1 ? QStringLiteral("&f=%1&t=%2")
                                                                   : QStringLiteral("?f=%1&t=%2");
    return endpoint + format.arg(QStringLiteral("T"), fraction);
}

int parseConfigAnswer(const QString &answer, const QString &key, QStringList &names, QStringList &values)
{
    const QString open = marker(kEntryOpen);
    const QString close = marker(kEntryClose);
    qsizetype from = 0;
    for (int number = 1;; ++number) {
        const qsizetype start = answer.indexOf(open, from);
        if (start < 0)
            return 0;
        const qsizetype keyStart = start + open.size();
        const qsizetype keyEnd = answer.indexOf(QLatin1Char(']'), keyStart);
        // An entry cut off before its close marker is a truncated answer: unusable.
        const qsizetype end = keyEnd < 0 ? -1 : answer.indexOf(close, keyEnd);
        if (end < 0)
            return 0;
        from = end + close.size();
        if (answer.mid(keyStart, keyEnd - keyStart).trimmed() != key)
            continue;

        const QString entry = answer.mid(keyEnd + 1, end - keyEnd - 1);
        const QString nameText = lineValue(entry, marker(kNamesMarker));
        if (nameText.trimmed().isEmpty())
            return 0;
        names = nameText.split(QLatin1Char('|'));
        const QString valueText = lineValue(entry, marker(kValuesMarker));
        values = valueText.isEmpty() ? QStringList() : valueText.split(QLatin1Char('|'));
        return number;
    }
}

QString configAnswerFile(const QString &dataFolder)
{
    return dataFolder + QStringLiteral("source-config.txt");
}

QStringList rememberedSourceTypeNames(const QString &answerFile)
{
    QFile file(answerFile);
    // An answer is a few hundred bytes; anything far larger is not one of ours.
    constexpr qint64 kMaxAnswerBytes = 64 * 1024;
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxAnswerBytes)
        return QStringList();
    QStringList names;
    QStringList values;
    parseConfigAnswer(QString::fromUtf8(file.readAll()), configurationKey(), names, values);
    return names;
}

QStringList builtInSourceTypeNames()
{
    return {
        QStringLiteral("QQ空间"), QStringLiteral("百度"), QStringLiteral("网易"), QStringLiteral("人人"),
        QStringLiteral("新浪"), QStringLiteral("56"), QStringLiteral("POCO"), QStringLiteral("又拍"),
        QStringLiteral("51"), QStringLiteral("ZOL"), QStringLiteral("PChome"),
        QStringLiteral("淘宝/天猫/1688"), QStringLiteral("美空"), QStringLiteral("宝宝树"),
        QStringLiteral("太平洋电脑"), QStringLiteral("虎扑"), QStringLiteral("京东"),
        QStringLiteral("Instagram"), QStringLiteral("花瓣"), QStringLiteral("LOFTER"), QStringLiteral("Topit"),
    };
}

bool isNewerVersion(const QString &serviceVersion)
{
    QString version = QStringLiteral("版本号：") + serviceVersion;
    keepBefore(version, QStringLiteral("#"));
    // Plain text order, as the service has always been compared: "15.10.28.1" would
    // sort after "15.10.28.01", so the service must keep the two-digit form.
    return QString::compare(version, QString::fromUtf16(kLocalVersionText), Qt::CaseSensitive) > 0;
}

}  // namespace pictrove
