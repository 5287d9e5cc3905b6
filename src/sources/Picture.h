#pragma once
// One picture as a source found it, whole from the page reader to its file: where to
// fetch it, what to send with the request, and what the service tells about it and
// its post. A field the service does not give stays empty (0 for the time).

#include <QString>

#include <cstdint>

namespace pictrove {

enum class MediaKind : uint8_t {
    Still,       // a picture
    Animated,    // an animated picture (GIF)
    // The moving part of a live photo, handed over right after its still: it is saved
    // beside the still under the still's name (name.jpg, name.mov).
    LiveMotion,
    Video,
};

struct Picture {
    QString address;
    // Asked when `address` gives nothing usable (an empty answer, a page, a placeholder).
    QString fallbackAddress;
    QString title;  // the picture's description as the service gives it
    // Extra request header lines for its transfer (a Referer, say), CR LF between them.
    QString headers;
    QString postId;
    QString pictureId;
    int64_t postTime = 0;  // seconds since the epoch, UTC
    QString postText;
    MediaKind kind = MediaKind::Still;
};

}  // namespace pictrove
