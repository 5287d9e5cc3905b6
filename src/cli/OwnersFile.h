#pragma once
// The owners file of `pictrove-cli update --owners-file FILE`: one owner address a
// line; blank lines and lines starting with "#" are left out. Lines are taken as they
// are (trimmed): an address the engine cannot list is reported for its owner, and the
// others still run.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace pictrove {

// The addresses of a file's text (UTF-8), in order.
QStringList ownerAddressesIn(const QByteArray &text);

// The addresses of the file at `path`; nullopt, with the reason in `error`, when it
// cannot be read (missing, a folder, unreadable, or larger than an owners file gets).
std::optional<QStringList> readOwnersFile(const QString &path, QString &error);

}  // namespace pictrove
