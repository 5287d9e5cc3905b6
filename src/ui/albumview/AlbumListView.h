#pragma once
// The album list view: shows the album list in grid 1003 as one row per album, or
// as a sheet of cover thumbnails, and answers which albums are selected.
//
// Rows reach the grid in two ways. On the GUI thread addAlbumRow adds at once. The
// engine's threads (the list thread, the thumbnail rebuild) queue rows instead:
// queued rows are added in batches on the GUI thread, so thousands of albums arrive
// without the window stalling. Every reset starts a new generation; rows and covers
// queued for an older one are dropped.

#include "sources/AlbumColumns.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <mutex>

class QAbstractButton;
class QWidget;

namespace pictrove {

class AlbumGrid;
class Session;
class ThumbnailImageList;
struct AlbumRecord;

// Where the switch between the list and the thumbnail sheet stands. The rebuild
// thread polls it, so an interrupt reaches it between two albums.
enum class ThumbnailState : int {
    Idle,
    Rebuilding,   // the rows of the new layout are being made
    Interrupted,  // the rebuild ends after the album in progress
};

class AlbumListView : public QObject {
    Q_OBJECT
public:
    static constexpr int kThumbnailColumns = 6;
    static constexpr int kThumbnailWidth = 113;
    static constexpr int kThumbnailHeight = 120;
    static constexpr int kCellMargin = 4;
    static constexpr int kRowBatch = 400;  // rows added per event-loop turn

    struct Controls {
        AlbumGrid *grid = nullptr;
        QAbstractButton *selectAll = nullptr;   // 1012
        QAbstractButton *thumbnails = nullptr;  // 1014
        QWidget *findLink = nullptr;            // 1034
        QWidget *filterLink = nullptr;          // 1036
    };

    AlbumListView(Session &session, const Controls &controls, QObject *parent = nullptr);
    ~AlbumListView() override;

    // GUI thread ------------------------------------------------------------------
    // Empties the grid and sets it up for the current layout; clears 全选.
    void resetGrid();
    // Shows the record at `index` of the album list now.
    void addAlbumRow(int index);
    // Every record again, in list order, under the filter keyword; then the keyword
    // is cleared and the thumbnail state ends.
    void rebuildGrid();
    // Lists only the albums whose name contains `keyword` (case-sensitive; empty:
    // all), once.
    void applyFilter(const QString &keyword);
    // Adds what is queued and repaints.
    void refresh();
    // The download state of album `index` in the list's 状态 column ("等待中",
    // "下载中 3/10", "完成", ...); nothing when the album is not shown.
    void setAlbumState(int index, const QString &state);
    static constexpr int kStateColumn = 4;
    // What the download archive holds of each album (archivedCountsPerAlbum: an entry
    // per album of the list): the list's last column is titled 已存档 and shows
    // "已存档 N/M", then "· 缺文件 K · 失败 F" where not zero. Empty, when the archive does not know the owner: the column stays
    // out of sight, as before any download.
    void showArchivedCounts(const QList<ArchivedCounts> &counts);
    static constexpr int kArchivedColumn = 5;
    // Album-list positions of the selected rows (list) or cells (thumbnails), in
    // grid order.
    QList<int> selectedAlbums() const;
    // Emptied with the album list, before a new list fetch.
    void clearThumbnails();
    // Ends a rebuild in progress after its current album.
    void interruptRebuild();

    bool thumbnailLayout() const { return m_thumbnailLayout.load(); }
    ThumbnailState thumbnailState() const { return m_thumbnailState.load(); }
    QString filterKeyword() const { return m_filterKeyword; }
    ThumbnailImageList &images() const { return *m_images; }
    AlbumGrid &grid() const { return *m_controls.grid; }

    // 全选 and 预览图 clicked.
    void onSelectAllClicked(bool checked);
    void onThumbnailsClicked(bool checked);
    // Answers the "interrupt the conversion?" question; the window sets it.
    std::function<bool(const QString &)> askYesNo;

    // Any thread -------------------------------------------------------------------
    int generation() const { return m_generation.load(); }
    // Fetches, decodes and stores the record's cover when it has none yet (thumbnail
    // layout only). Blocking network and disk work: never call it on the GUI thread.
    void prepareCover(int index, int generation);
    // Queues the record's row for the GUI thread.
    void queueRow(int index, int generation);

Q_SIGNALS:
    // The thumbnail layout was chosen: the find dialog must go.
    void thumbnailModeEntered();

private:
    // 全选 ticked exactly when every album in the grid is selected, however the
    // selection came about (Ctrl+A, clicks, rows added or taken away).
    void showWholeSelection();
    void addListRow(int index, const AlbumRecord &record);
    // The 已存档 column's title and width, from m_archived.
    void showArchivedColumn();
    void addThumbnailCell(int index, const AlbumRecord &record);
    // Adds up to `limit` queued rows; more are left for the next turn.
    void flushRows(int limit);
    void postFlush();
    void rebuildThread(int generation);

    Session &m_session;
    Controls m_controls;
    ThumbnailImageList *m_images;
    QString m_filterKeyword;
    QList<ArchivedCounts> m_archived;  // showArchivedCounts's
    // Chosen on the GUI thread; read also by the threads that prepare covers.
    std::atomic<bool> m_thumbnailLayout{false};
    std::atomic<ThumbnailState> m_thumbnailState{ThumbnailState::Idle};

    std::atomic<int> m_generation{0};
    std::mutex m_mutex;  // queued rows, and a cover's index against a reset
    QList<QPair<int, int>> m_queuedRows;  // (album index, generation)
    bool m_flushPosted = false;
};

}  // namespace pictrove
