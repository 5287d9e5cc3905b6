#include "cli/OwnersFile.h"

#include <QFile>
#include <QFileInfo>

namespace pictrove {

namespace {

// Thousands of owners fit in far less; a larger file is not a list of addresses.
constexpr qint64 kMaxOwnersFileBytes = 4 * 1024 * 1024;

}  // namespace

QStringList ownerAddressesIn(const QByteArray &text)
{
    QStringList addresses;
    for (const QByteArray &raw : text.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        addresses.append(line);
    }
    return addresses;
}

std::optional<QStringList> readOwnersFile(const QString &path, QString &error)
{
    const QFileInfo info(path);
    if (!info.isFile()) {
        error = info.exists() ? QStringLiteral("not a file") : QStringLiteral("no such file");
        return std::nullopt;
    }
    if (info.size() > kMaxOwnersFileBytes) {
        error = QStringLiteral("larger than %1 MiB").arg(kMaxOwnersFileBytes / (1024 * 1024));
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return std::nullopt;
    }
    const QByteArray text = file.read(kMaxOwnersFileBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        error = file.errorString();
        return std::nullopt;
    }
    return ownerAddressesIn(text);
}

}  // namespace pictrove
