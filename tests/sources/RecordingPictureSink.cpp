#include "RecordingPictureSink.h"

namespace pictrove {

void RecordingPictureSink::addPicture(const Picture &picture)
{
    if (albumClosed()) {
        ++afterClose;
        return;
    }
    pictures.append(picture);
    addresses.append(picture.address);
    titles.append(picture.title);
    headerLines.append(picture.headers);
}

}  // namespace pictrove
