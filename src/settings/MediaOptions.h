#pragma once
// Which kinds of media beside pictures a download saves: the moving parts of live
// photos and the posts' videos. Both on unless the user turned them off. Kept in a
// file of their own, "media.ini" in the data folder, beside "soft.dat": the record of
// "soft.dat" has a fixed layout whose option words hold no spare bit we could claim.

#include <QString>

namespace pictrove {

struct MediaOptions {
    bool liveMotion = true;  // a live photo's moving part, saved beside its still as ".mov"
    bool videos = true;      // a post's own video, saved as ".mp4"

    bool operator==(const MediaOptions &) const = default;
};

// The options stored in `dataFolder` + "media.ini" (`dataFolder` ends in "/"); both on
// when the file or a key is missing.
MediaOptions readMediaOptions(const QString &dataFolder);

// Replaces "media.ini" whole (AtomicFile). False when it could not be written.
bool saveMediaOptions(const QString &dataFolder, const MediaOptions &options);

}  // namespace pictrove
