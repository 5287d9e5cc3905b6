#pragma once
// What a front end gives Download and what it hears back. The request is taken once
// when the run starts: changing the settings meanwhile does not change the run.
// The events come from the download's threads, one at a time and in this order:
// DownloadStarted; per album AlbumStarted, PicturesListed, TransferStarted,
// PictureProgress and PictureFailed, AlbumFinished (RunProgress in between, whenever a
// picture ended); then DownloadFinished and, when the options ask for it, OpenFolder.
// Implementations must accept calls from any thread.

#include "settings/MediaOptions.h"
#include "settings/PostRecordOptions.h"
#include "settings/SettingsBlock.h"
#include "settings/SourceType.h"
#include "sources/ListEvents.h"

#include <QList>
#include <QString>

#include <optional>
#include <variant>

namespace pictrove {

struct DownloadRequest {
    QString saveRoot;   // the save path as typed; surrounding blanks are ignored
    QList<int> albums;  // album-list positions, in the order they are walked
    DownloadParams params;
    NameRules rules;  // file and folder names, and the option bits
    // With skip-previous, pictures in the download archive are not fetched again,
    // wherever their files are now. False: the archive is neither read nor written.
    bool useArchive = true;
    // With skip-previous and the archive: an album the archive knows is listed past
    // its marker, so new pictures anywhere in it are found (an update of the owner).
    // False: the marker ends the listing as it always did.
    bool listArchivedAlbumsWhole = false;
    // Whether live photos' moving parts and posts' videos are saved beside the
    // pictures (the front ends' stored choice, readMediaOptions, or their flags).
    MediaOptions media;
    // What is kept of each picture's post beside its file: its time as the file's time,
    // the album's "pictrove.jsonl" (readPostRecordOptions, or the front ends' flags).
    PostRecordOptions post;
};

// A request with the download parameters and name rules `settings` keeps for `type`.
DownloadRequest downloadRequestFor(const SettingsBlock &settings, SourceType type, const QString &saveRoot,
                                   const QList<int> &albums);

// An update of one owner, the run a scheduled job makes: the owner's album list made
// again, then in every listed album the download archive holds something of for this
// owner only what is new is downloaded. Albums the archive does not know are left
// alone: an update keeps what was downloaded before current, it starts nothing new.
struct UpdateRequest {
    ListRequest list;
    // The save folder, parameters and name rules. The update chooses the albums,
    // switches on skip-previous, the archive and listing archived albums whole, and
    // leaves out "Thunder list only".
    DownloadRequest download;
};

enum class UpdateResult {
    Updated,          // the archived albums were walked; DownloadFinished said how
    NotListed,        // the list gave no album; ListFinished said why
    NothingArchived,  // no listed album is in the download archive: nothing to update
    NoArchive,        // the request leaves the archive out, or it cannot be opened
    Stopped,          // a stop request ended the update
};

enum class DownloadResult {
    Finished,          // every chosen album was walked
    NoSavePath,        // the save path was empty; nothing started
    SaveFolderFailed,  // the owner's folder under the save path could not be made
    NoAlbumChosen,     // the request named no listed album
    Stopped,           // a stop request ended the run early
    DiskFull,          // a picture could not be written for lack of space; the run stopped there
};

// Pictures of one run (or, in PictureProgress, of the album being transferred).
struct PictureCounts {
    int listed = 0;   // found by the albums' picture fetchers (run counts only)
    int total = 0;    // queued for transfer
    int done = 0;     // transfers that ended, whatever the outcome
    int saved = 0;    // of those, pictures now in their files
    int failed = 0;   // of those, pictures that did not arrive
    int skipped = 0;  // listed and not transferred on purpose: already there (skip-previous), or Thunder list only
    // Transferred and left out by the user's own size limits (minKB, maxKB): on
    // purpose too, never a failure. Among `done`.
    int sizeSkipped = 0;
    int untried = 0;  // listed and never tried: the run stopped, or the disk filled, before their turn
    qint64 bytes = 0;  // bytes of the saved pictures
    int incompleteAlbums = 0;  // albums whose listing broke off at a failed page (run counts only)
    // Posts the viewer may not see (deleted, or for the owner's friends only), passed
    // over while the albums were listed: no failure, their pictures were never listed.
    int unseenPosts = 0;
    // LoginExpired or LoginNeeded once an album's listing met the service's login
    // answer (run counts only): the run's albums after it are not asked again.
    ListResult loginRefusal = ListResult::Listed;
};

// The events of a run, one struct each, in the order described at the top.
namespace event {
// The owner's folder exists and the albums are about to be walked.
struct DownloadStarted {};
// `level` of the owner's folder could neither be found nor created; the run ends
// with SaveFolderFailed.
struct SaveFolderFailed {
    QString level;
};
// Album `number` (1-based) of `count` is being listed.
struct AlbumStarted {
    int number = 0;
    int count = 0;
    QString name;
};
// The album's pictures listed so far.
struct PicturesListed {
    int count = 0;
};
// The album's `total` pictures start transferring.
struct TransferStarted {
    int total = 0;
};
struct PictureProgress {
    PictureCounts album;
};
// The whole run so far, after each picture that ended: pictures ended, saved and
// failed and their bytes, in every album, also those transferring ahead of the one
// being reported. Comes at once, between that album's events.
struct RunProgress {
    PictureCounts run;
};
struct PictureFailed {
    QString address;
    QString reason;
};
// The service refused to be asked this fast while an album was listed: the listing
// waits `seconds`, then asks again. Comes at once, whichever album is reported.
struct AlbumListingWaiting {
    int seconds = 0;
};
// Album `name`'s listing broke off: a page failed after its retries (`reason` names
// the page and its answer). Its pictures listed before that still transfer; the
// album gets no marker, so skip-previous never takes it for done.
// `loginRefusal` is LoginExpired or LoginNeeded when that answer was the service's
// login (the saved login has run out, or there is none); Listed otherwise.
struct AlbumIncomplete {
    QString name;
    QString reason;
    ListResult loginRefusal = ListResult::Listed;
};
// The album is done: every album that started ends here, also one that listed
// nothing or was stopped; `folder` is where its pictures went (the owner's folder
// when it got none of its own), `album` its final counts (untried among them).
// `stopped`: the run stopped (asked to, or the disk filled) before the album was
// whole, so some of its pictures, or the rest of its listing, never got their turn.
// An album listed ahead ends so right after the stop, with nothing transferred.
struct AlbumFinished {
    int number = 0;
    int count = 0;
    QString folder;
    PictureCounts album;
    bool stopped = false;
};
// The download archive `file` could not be used (`detail` says why). When `movedTo`
// is set, the file was moved there and a new, empty archive started; otherwise the
// run goes on without the archive. Comes after DownloadStarted, before any album; or,
// for damage a look-up or a record met during the run, after the last album ended. An
// update also tells it before it chooses its albums, when the archive it reads then
// had to be moved aside.
struct ArchiveUnusable {
    QString file;
    QString movedTo;
    QString detail;
};
// The disk holding `folder` is full: the run stops at once and ends with DiskFull.
struct DiskFull {
    QString folder;
};
struct DownloadFinished {
    DownloadResult result = DownloadResult::Finished;
    PictureCounts run;
};
// The options ask to show the last album's folder once the run is over: only after
// a run that walked every chosen album (Finished), never after a stop or a full disk.
struct OpenFolder {
    QString folder;
};
// An update chose the listed albums it walks (album-list positions, in walk order):
// those the archive holds something of. Comes after ListFinished, before
// DownloadStarted, only when there are some.
struct UpdateAlbumsChosen {
    QList<int> albums;
};
// An update ended: after its ListFinished, and after DownloadFinished (and OpenFolder)
// when it downloaded. `albums` were listed, `archivedAlbums` of them walked.
struct UpdateFinished {
    UpdateResult result = UpdateResult::Updated;
    ListResult list = ListResult::Listed;
    std::optional<DownloadResult> download;  // set when the download ran
    int albums = 0;
    int archivedAlbums = 0;
    PictureCounts run;  // the download's, as DownloadFinished counted them
};
}  // namespace event

using DownloadEvent =
    std::variant<event::DownloadStarted, event::SaveFolderFailed, event::AlbumStarted, event::PicturesListed,
                 event::TransferStarted, event::PictureProgress, event::RunProgress, event::PictureFailed,
                 event::AlbumListingWaiting, event::AlbumIncomplete, event::AlbumFinished, event::DiskFull,
                 event::ArchiveUnusable, event::DownloadFinished, event::OpenFolder,
                 event::UpdateAlbumsChosen, event::UpdateFinished>;

// Every download event arrives through this one call (see ListEvents for why). A
// plain DownloadEvents hears nothing.
class DownloadEvents {
public:
    virtual ~DownloadEvents() = default;
    virtual void report(const DownloadEvent & /*event*/) {}
};

}  // namespace pictrove
