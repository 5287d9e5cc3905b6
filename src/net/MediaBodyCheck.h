#pragma once
// Whether a body fetched as a picture or a video clearly is not one. The services
// answer a picture address they will not serve with a 200 all the same: an empty body,
// their login page, an error page or a JSON error. Saved under the picture's name such
// an answer passes for a picture, and skip-previous keeps it for ever. Only what is
// clearly not media is refused: no list of picture formats is required, so videos,
// GIFs and formats the program has never seen still pass.

#include <QByteArray>

namespace pictrove {

// Why a body expected to be media was refused; None: it may be media.
enum class BodyRefusal {
    None,
    Empty,      // no body at all
    WebPage,    // an HTML page
    LoginPage,  // an HTML page (or JSON answer) that sends the user to log in
    Json,       // a JSON answer, typically an API's error
};

// How much of a body's start the check looks at: a login page names its login host
// within its first kilobytes.
inline constexpr qsizetype kMediaCheckBytes = 64 * 1024;

// Judges a body from the answer's head (status line and header lines, as received) and
// the body's first bytes as sent (up to kMediaCheckBytes, all of it when shorter; a
// gzip-encoded body is inflated for the look). A body that starts like a known picture
// or video passes whatever its Content-Type says; one declared text/html or JSON, or
// that starts like an HTML page or a JSON object, is refused.
BodyRefusal checkMediaBody(const QByteArray &head, const QByteArray &firstBytes);

}  // namespace pictrove
