#include "RecordingPictureSink.h"

namespace pictrove {

void RecordingPictureSink::addPicture(const QString &address, const QString &title, const QString &headers)
{
    if (albumClosed()) {
        ++afterClose;
        return;
    }
    addresses.append(address);
    titles.append(title);
    headerLines.append(headers);
}

}  // namespace pictrove
