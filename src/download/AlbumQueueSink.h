#pragma once
// The download's PictureSink: names each picture an album's fetcher lists, applies
// the skip-previous rule against the album's marker, and queues it. The album's
// folder is made at its first picture, so an album that lists nothing leaves no
// empty folder behind. Runs on the thread that lists the album.

#include "settings/MediaOptions.h"
#include "settings/SettingsBlock.h"
#include "sources/AlbumRecord.h"
#include "sources/PictureSink.h"

#include <functional>
#include <memory>

namespace pictrove {

class AlbumQueue;
class DownloadEvents;
class SharedFolderNames;

class AlbumQueueSink : public PictureSink {
public:
    struct Album {
        AlbumRecord record;
        // The album's folder component under the queue's folder (albumFolderNames);
        // empty: its pictures go straight into the queue's folder.
        QString folderName;
        // Set when other albums of the run put their pictures into the same folder.
        std::shared_ptr<SharedFolderNames> sharedNames;
        QString ownerName;  // OwnerInfo::name as stored
        int chosenCount = 0;  // albums chosen for the run (file-name escape ?6)
        int listedCount = 0;  // albums of the list
        // List past the album's marker: the download archive holds pictures of the
        // album and tells what is new, so a picture added in the middle is found too.
        bool listPastMarker = false;
        // The kinds of media beside pictures the run saves; the others are not queued.
        MediaOptions media{};
        QString ownerId{};  // OwnerInfo::uid (file-name escape ?o)
    };

    // `stopRequested` says whether the run was asked to stop: the album then takes no
    // further pictures.
    AlbumQueueSink(std::function<bool()> stopRequested, AlbumQueue &queue, const NameRules &rules, Album album,
                   DownloadEvents &events);

    void addPicture(const Picture &picture) override;
    bool albumClosed() const override;
    void listingFailed(const QString &address, const QString &reason) override;
    void postNotVisible(const QString &postId) override;
    void loginRefused(ListResult refusal) override { m_loginRefusal = refusal; }

    // The album's listing broke off at a page that failed: the queue is not the whole
    // album. The reason names the page and its answer.
    bool listingIncomplete() const { return !m_listingFailure.isEmpty(); }
    const QString &listingFailure() const { return m_listingFailure; }
    // LoginExpired or LoginNeeded when the listing broke off at the service's login
    // answer; Listed otherwise.
    ListResult loginRefusal() const { return m_loginRefusal; }
    // Posts of the album the viewer may not see, passed over by the listing.
    int unseenPosts() const { return m_unseenPosts; }

private:
    // False when the folder would not lie inside the queue's folder: the album then
    // takes no pictures.
    bool setUpAlbumFolder();

    std::function<bool()> m_stopRequested;
    bool m_closed = false;  // skip-previous met the first picture of the album's last download
    AlbumQueue &m_queue;
    const NameRules m_rules;
    const Album m_album;
    DownloadEvents &m_events;
    QString m_listingFailure;
    int m_unseenPosts = 0;
    ListResult m_loginRefusal = ListResult::Listed;
    int m_motionParts = 0;  // queued beside their stills
    // The post of the last picture and how many of its pictures came so far (?n).
    QString m_lastPostId;
    int m_numberInPost = 0;
};

}  // namespace pictrove
