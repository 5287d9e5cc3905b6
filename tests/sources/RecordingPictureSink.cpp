#include "RecordingPictureSink.h"

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
