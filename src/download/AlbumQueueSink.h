#pragma once
// The download's PictureSink: names each picture an album's fetcher lists, applies
// the skip-previous rule against the album's marker, and queues it. The album's
// folder is made at its first picture, so an album that lists nothing leaves no
// empty folder behind. Runs on the download's thread.

#include "download/Downloader.h"
#include "sources/AlbumRecord.h"
#include "sources/PictureSink.h"

namespace pictrove {

class AlbumQueue;
class DownloadEvents;

class AlbumQueueSink : public PictureSink {
public:
    struct Album {
        AlbumRecord record;
        QString ownerName;  // OwnerInfo::name as stored
        int chosenCount = 0;  // albums chosen for the run (file-name escape ?6)
        int listedCount = 0;  // albums of the list
    };

    AlbumQueueSink(Downloader &downloader, AlbumQueue &queue, const NameRules &rules, Album album,
                   DownloadEvents &events);

    void addPicture(const QString &address, const QString &title, const QString &headers) override;
    bool albumClosed() const override;
    void listingFailed(const QString &address, const QString &reason) override;

    // The album's listing broke off at a page that failed: the queue is not the whole
    // album. The reason names the page and its answer.
    bool listingIncomplete() const { return !m_listingFailure.isEmpty(); }
    const QString &listingFailure() const { return m_listingFailure; }

private:
    void setUpAlbumFolder();

    Downloader &m_downloader;
    AlbumQueue &m_queue;
    const NameRules m_rules;
    const Album m_album;
    DownloadEvents &m_events;
    QString m_listingFailure;
};

}  // namespace pictrove
