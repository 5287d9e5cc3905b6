#pragma once
// The start-up query to the configuration service: the names of the source-type
// selector and a few service values (the current program version and where to get
// it). The desktop program asks it once, on its own thread, after its window shows;
// the answer format is described in docs/config-service.md.

#include <QString>
#include <QStringList>

#include <mutex>

namespace pictrove {

// The version this program reports, in the form the service's version is compared with.
inline constexpr const char16_t *kLocalVersionText = u"版本号：15.10.28.01";

// The texts the service delivers, read by position. Item 0 is the current version,
// item 1 the address to open when that version is newer; an answer carries 7 items.
class ServiceValues {
public:
    ServiceValues() = default;
    explicit ServiceValues(const QStringList &items)
        : m_items(items)
    {
    }
    // Item n, empty when the answer had fewer items.
    QString item(int n) const { return m_items.value(n); }
    int count() const { return int(m_items.size()); }

private:
    QStringList m_items;
};

class SourceConfigService {
public:
    // Asks `endpoints` in order (docs/config-service.md: where they come from). A
    // usable answer is kept in `answerFile` when one is given, for the next start.
    explicit SourceConfigService(const QStringList &endpoints, const QString &answerFile = QString());

    // Asks each endpoint in turn until one gives a usable answer for `key`; fills
    // `names` with its source-type names and the service values, and remembers
    // which endpoint and entry answered. Nothing usable leaves `names` empty.
    void query(const QString &key, QStringList &names);

    ServiceValues values() const;
    QString value(int n) const { return values().item(n); }
    // 1-based; the endpoint asked last when none answered, 0 before the query.
    int endpointNumber() const;
    // 1-based position of the entry in use within the answer; 0 when none.
    int entryNumber() const;
    bool answered() const { return entryNumber() > 0; }
    // "\tSrv Info:<endpoint>_<entry>"
    QString statusText() const;

    QStringList endpoints() const { return m_endpoints; }

private:
    void rememberAnswer(const QString &answer) const;

    const QStringList m_endpoints;
    const QString m_answerFile;
    mutable std::mutex m_mutex;  // the query thread writes, the window thread reads
    ServiceValues m_values;
    int m_endpointNumber = 0;
    int m_entryNumber = 0;
};

// "<stored name>_4": selects this program's entry in the service's answer.
QString configurationKey();

// The endpoint with the client tag and a random fraction that defeats caches:
// "?f=T&t=<fraction>", or "&f=..." when the endpoint already has a query.
QString configRequestUrl(const QString &endpoint, const QString &fraction);

// Reads the entry for `key` out of an answer. Returns its 1-based position among
// the answer's entries and fills `names` and `values`; returns 0 and leaves both
// alone when the entry is missing or names no source type.
int parseConfigAnswer(const QString &answer, const QString &key, QStringList &names, QStringList &values);

// Where the last usable answer is kept in the data folder (ending in "/").
QString configAnswerFile(const QString &dataFolder);

// The source-type names of the answer kept in `answerFile`; empty when there is none
// or it is unusable.
QStringList rememberedSourceTypeNames(const QString &answerFile);

// The selector's names when the service cannot be reached, by source-type index
// (4 is Sina).
QStringList builtInSourceTypeNames();

// True when the service's version text (cut before its first "#") sorts after ours.
bool isNewerVersion(const QString &serviceVersion);

}  // namespace pictrove
