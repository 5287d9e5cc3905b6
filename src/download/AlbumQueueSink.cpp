#include "download/AlbumQueueSink.h"

#include "download/AlbumQueue.h"
#include "download/AlbumSideFiles.h"
#include "download/DownloadEvents.h"
#include "download/FileNaming.h"
#include "download/Folders.h"

#include <QDateTime>
#include <QDir>

namespace pictrove {

AlbumQueueSink::AlbumQueueSink(std::function<bool()> stopRequested, AlbumQueue &queue, const NameRules &rules,
                               Album album, DownloadEvents &events)
    : m_stopRequested(std::move(stopRequested))
    , m_queue(queue)
    , m_rules(rules)
    , m_album(std::move(album))
    , m_events(events)
{
}

bool AlbumQueueSink::albumClosed() const
{
    return m_closed || (m_stopRequested && m_stopRequested());
}

void AlbumQueueSink::listingFailed(const QString &address, const QString &reason)
{
    m_listingFailure = address + QStringLiteral(": ") + reason;
}

void AlbumQueueSink::postNotVisible(const QString & /*postId*/)
{
    ++m_unseenPosts;
}

bool AlbumQueueSink::setUpAlbumFolder()
{
    const QString base = m_queue.folder();
    QString folder = base;
    if (!m_album.folderName.isEmpty())
        folder += m_album.folderName + QLatin1Char('/');
    if (!isInsideFolder(base, folder)) {
        listingFailed(folder, QStringLiteral("文件夹不在保存路径之内"));
        m_closed = true;
        return false;
    }
    m_queue.setFolder(folder);
    m_queue.shareFolderNames(m_album.sharedNames);
    // A folder that cannot be made is not reported here: its transfers fail, saying why.
    QDir().mkdir(folder);
    stampTimes(folder, QDateTime::currentSecsSinceEpoch());
    m_queue.previousFirstAddress = readMarkerFile(folder);
    return true;
}

void AlbumQueueSink::addPicture(const Picture &picture)
{
    // A closed album takes no further pictures even from a fetcher that goes on
    // listing: a second "first picture" would nest the album folder in itself.
    if (albumClosed())
        return;
    if ((picture.kind == MediaKind::LiveMotion && !m_album.media.liveMotion)
        || (picture.kind == MediaKind::Video && !m_album.media.videos))
        return;

    PictureNaming naming;
    naming.picture = picture;
    // A moving part takes no number of its own: it is saved under its still's.
    naming.sequence = m_queue.count() - m_motionParts + 1;
    naming.album = m_album.record;
    naming.selectedAlbumCount = m_album.chosenCount;
    naming.albumCount = m_album.listedCount;
    naming.ownerName = m_album.ownerName;
    naming.ownerId = m_album.ownerId;
    // A post's pictures arrive one after another; a moving part shares its still's number.
    if (picture.kind != MediaKind::LiveMotion) {
        m_numberInPost = !picture.postId.isEmpty() && picture.postId == m_lastPostId ? m_numberInPost + 1 : 1;
        m_lastPostId = picture.postId;
    }
    naming.numberInPost = picture.postId.isEmpty() ? 0 : m_numberInPost;
    naming.rules = m_rules;
    const QString base = pictureNameBase(naming);

    if (m_queue.isEmpty() && !setUpAlbumFolder())
        return;
    const QString folder = m_queue.folder();
    // A live photo's moving part lies beside its still, the picture queued just
    // before it, under the same name: "name.jpg" and "name.mov".
    const bool besideStill = picture.kind == MediaKind::LiveMotion && !m_queue.isEmpty()
        && m_queue.pictures.last().picture.kind != MediaKind::LiveMotion;
    const QString fileName = besideStill
        ? finalFileName(m_queue.pictures.last().fileName.section(u'.', 0, -2), folder, m_queue, picture.kind)
        : finalFileName(base, folder, m_queue, picture.kind);

    if ((m_rules.options & kOptionSkipPrevious) && !m_album.listPastMarker && !m_queue.previousFirstAddress.isEmpty()
        && picture.address == m_queue.previousFirstAddress) {
        m_closed = true;
        return;
    }

    m_queue.queuePicture(picture, fileName);
    if (besideStill)
        ++m_motionParts;
    const int count = m_queue.count();
    m_events.report(event::PicturesListed{count});
    if (m_rules.options & kOptionTitleFile)
        appendTitleLine(albumFilePath(folder, m_album.record.name, QStringLiteral(".txt")), picture.title, count);
}

}  // namespace pictrove
