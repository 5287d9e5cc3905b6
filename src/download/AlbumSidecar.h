#pragma once
// "pictrove.jsonl" beside an album's pictures: one JSON object a line per saved file,
// telling which post it came from. Each line is appended with one write() on a file
// opened O_APPEND, so lines from two runs into the same folder never interleave.

#include "sources/Picture.h"

#include <QByteArray>
#include <QString>

namespace pictrove {

inline constexpr const char *kSidecarFileName = "pictrove.jsonl";

struct SidecarEntry {
    QString fileName;
    Picture picture;
    QString album;
    QString owner;  // the owner's id, or its name where the service gives no id
};

// The entry as one line of compact UTF-8 JSON ending in "\n": file, kind ("still",
// "animated", "live-motion", "video"), picture_id, post_id, post_time (ISO 8601 in
// China Standard Time with its offset; null when the service gave none), post_text,
// address, album, owner.
QByteArray sidecarLine(const SidecarEntry &entry);

// Appends `line` to the file at `path` in one write; false when it could not.
bool appendSidecarLine(const QString &path, const QByteArray &line);

}  // namespace pictrove
