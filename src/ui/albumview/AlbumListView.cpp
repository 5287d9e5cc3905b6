#include "ui/albumview/AlbumListView.h"

#include "grid/AlbumGrid.h"
#include "grid/ThumbnailImageList.h"
#include "net/PageFetcher.h"
#include "sources/AddAlbum.h"
#include "sources/AlbumColumns.h"
#include "sources/AlbumRecord.h"
#include "sources/Session.h"
#include "sources/Source.h"

#include <QAbstractButton>
#include <QDir>
#include <QImage>
#include <QItemSelectionModel>

#include <algorithm>

namespace pictrove {

namespace {

const QList<int> kListWidths = {50, 575, 50, 100, 110, 0};
constexpr int kArchivedWidth = 110;
constexpr int kThumbnailRowExtra = 10;

QStringList listTitles()
{
    return {QStringLiteral("序号"), QStringLiteral("名称"), QStringLiteral("数量"), QStringLiteral("备注"),
            QStringLiteral("状态"), QString()};
}

// A cover is one of the album's pictures: its service wants what its pictures want
// (Weibo's picture hosts refuse them without a Weibo referrer).
QString coverHeaders(const AlbumRecord &album)
{
    return album.source ? QString::fromUtf16(album.source->pictureHeaders) : QString();
}

}  // namespace

AlbumListView::AlbumListView(Session &session, const Controls &controls, QObject *parent)
    : QObject(parent)
    , m_session(session)
    , m_controls(controls)
    , m_images(new ThumbnailImageList(kThumbnailWidth, kThumbnailHeight))
{
    m_controls.grid->setImageList(m_images);
    // QTableWidget keeps its model and selection model for good.
    QAbstractItemModel *model = m_controls.grid->model();
    connect(m_controls.grid->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &AlbumListView::showWholeSelection);
    connect(model, &QAbstractItemModel::rowsInserted, this, &AlbumListView::showWholeSelection);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &AlbumListView::showWholeSelection);
    connect(model, &QAbstractItemModel::modelReset, this, &AlbumListView::showWholeSelection);
}

void AlbumListView::showWholeSelection()
{
    if (!m_controls.selectAll)
        return;
    const AlbumGrid &grid = *m_controls.grid;
    const qsizetype cells = qsizetype(grid.rowCount()) * grid.columnCount();
    // Setting the box's state does not count as a click: the selection stays as it is.
    m_controls.selectAll->setChecked(cells > 0 && grid.selectionModel()->selectedIndexes().size() == cells);
}

AlbumListView::~AlbumListView()
{
    m_controls.grid->setImageList(nullptr);
    delete m_images;
}

void AlbumListView::resetGrid()
{
    if (m_controls.selectAll)
        m_controls.selectAll->setChecked(false);
    {
        std::lock_guard lock(m_mutex);
        ++m_generation;
        m_queuedRows.clear();
    }
    AlbumGrid &grid = *m_controls.grid;
    grid.setRedraw(false);
    grid.deleteAllCells();
    if (thumbnailLayout()) {
        const QList<int> widths(kThumbnailColumns, kThumbnailWidth + 2 * kCellMargin);
        grid.setColumns(QStringList(), widths, 0);
        grid.setStretchColumn(-1);
        grid.setRowSelection(false);
    } else {
        grid.setColumns(listTitles(), kListWidths, 1);
        grid.setStretchColumn(1);  // the album name takes the room a wider window gives
        grid.setRowSelection(true);
        showArchivedColumn();
    }
    grid.setRedraw(true);
}

void AlbumListView::addAlbumRow(int index)
{
    if (index < 0 || index >= m_session.albums.size())
        return;
    const AlbumRecord record = m_session.albums.at(index);
    if (thumbnailLayout())
        addThumbnailCell(index, record);
    else
        addListRow(index, record);
}

void AlbumListView::addListRow(int index, const AlbumRecord &record)
{
    // addAlbum already keeps names to the shown length; the cut here only guards
    // the grid against a record that bypassed it.
    const QString name = record.name.left(kShownNameLength);
    if (!m_filterKeyword.isEmpty() && !name.contains(m_filterKeyword, Qt::CaseSensitive))
        return;
    AlbumGrid &grid = *m_controls.grid;
    const int row = grid.appendRows(1);
    grid.setCellText(row, 0, QString::asprintf("%04d", row));
    grid.setCellData(row, 0, index);
    grid.setCellText(row, 1, name);
    grid.setCellText(row, 2, albumCountText(record.pictureCount));
    grid.setCellAlignment(row, 2, Qt::AlignRight | Qt::AlignVCenter);
    grid.setCellText(row, 3, albumRemarkText(record.accessFlags));
    grid.setCellText(row, 4, QString());
    grid.setCellText(row, kArchivedColumn,
                     index < m_archived.size() ? archivedCountText(m_archived.at(index), record.pictureCount)
                                               : QString());
}

void AlbumListView::showArchivedCounts(const QList<ArchivedCounts> &counts)
{
    m_archived = counts;
    if (thumbnailLayout())
        return;
    showArchivedColumn();
    AlbumGrid &grid = *m_controls.grid;
    const QList<AlbumRecord> albums = m_session.albums.all();
    for (int row = grid.fixedRowCount(); row < grid.gridRowCount(); ++row) {
        const int index = grid.cellData(row, 0);
        const bool known = index >= 0 && index < m_archived.size() && index < albums.size();
        grid.setCellText(row, kArchivedColumn,
                         known ? archivedCountText(m_archived.at(index), albums.at(index).pictureCount) : QString());
    }
    // "已存档 118/120 · 缺文件 2 · 失败 1" is wider than the column's usual width: widen
    // it to the longest text rather than cut the counts off.
    if (m_archived.isEmpty())
        return;  // the column stays hidden
    int widest = kArchivedWidth;
    for (int row = grid.fixedRowCount(); row < grid.gridRowCount(); ++row)
        widest = std::max(widest, grid.fontMetrics().horizontalAdvance(grid.cellText(row, kArchivedColumn)) + 12);
    grid.setColumnWidth(kArchivedColumn, widest);
}

void AlbumListView::showArchivedColumn()
{
    AlbumGrid &grid = *m_controls.grid;
    if (thumbnailLayout() || grid.fixedRowCount() == 0)
        return;
    const bool shown = !m_archived.isEmpty();
    grid.setCellText(0, kArchivedColumn, shown ? QStringLiteral("已存档") : QString());
    grid.setColumnWidth(kArchivedColumn, shown ? kArchivedWidth : kListWidths.at(kArchivedColumn));
}

void AlbumListView::setAlbumState(int index, const QString &state)
{
    AlbumGrid &grid = *m_controls.grid;
    // The thumbnail sheet has no room for it; the list shows it in its own column.
    if (thumbnailLayout())
        return;
    for (int row = grid.fixedRowCount(); row < grid.gridRowCount(); ++row) {
        if (grid.cellData(row, 0) == index) {
            grid.setCellText(row, kStateColumn, state);
            return;
        }
    }
}

void AlbumListView::addThumbnailCell(int index, const AlbumRecord &record)
{
    AlbumGrid &grid = *m_controls.grid;
    const int row = index / kThumbnailColumns;
    const int column = index % kThumbnailColumns;
    while (grid.gridRowCount() <= row)
        grid.appendRows(1, kThumbnailHeight + kThumbnailRowExtra);
    grid.setCellImage(row, column, record.thumbnail);
    grid.setCellText(row, column, QString::number(index + 1) + QLatin1Char('.') + record.name);
    grid.setCellData(row, column, index);
}

void AlbumListView::rebuildGrid()
{
    AlbumGrid &grid = *m_controls.grid;
    grid.setRedraw(false);
    const int count = m_session.albums.size();
    for (int index = 0; index < count; ++index)
        addAlbumRow(index);
    grid.setRedraw(true);
    m_thumbnailState.store(ThumbnailState::Idle);
    m_filterKeyword.clear();
}

void AlbumListView::applyFilter(const QString &keyword)
{
    {
        std::lock_guard lock(m_mutex);
        m_queuedRows.clear();
    }
    m_filterKeyword = keyword;
    m_controls.grid->truncateRows(m_controls.grid->fixedRowCount());
    rebuildGrid();
}

void AlbumListView::refresh()
{
    flushRows(INT_MAX);
    m_controls.grid->viewport()->update();
}

QList<int> AlbumListView::selectedAlbums() const
{
    const AlbumGrid &grid = *m_controls.grid;
    QList<int> albums;
    if (thumbnailLayout()) {
        for (const auto &[row, column] : grid.selectedCells()) {
            const int index = grid.cellData(row, column);
            if (index >= 0)
                albums.append(index);
        }
        return albums;
    }
    int lastRow = -1;
    for (const auto &[row, column] : grid.selectedCells()) {
        if (row == lastRow)
            continue;
        lastRow = row;
        const int index = grid.cellData(row, 0);
        if (index >= 0)
            albums.append(index);
    }
    return albums;
}

void AlbumListView::clearThumbnails()
{
    m_images->clear();
}

void AlbumListView::interruptRebuild()
{
    ThumbnailState rebuilding = ThumbnailState::Rebuilding;
    m_thumbnailState.compare_exchange_strong(rebuilding, ThumbnailState::Interrupted);
}

void AlbumListView::onSelectAllClicked(bool checked)
{
    if (checked)
        m_controls.grid->selectAllCells();
    else
        m_controls.grid->clearSelectionAndFocus();
}

void AlbumListView::onThumbnailsClicked(bool checked)
{
    if (m_thumbnailState.load() != ThumbnailState::Idle) {
        if (askYesNo && askYesNo(QStringLiteral("模式转换未完成,是否中断?")))
            interruptRebuild();
        m_controls.thumbnails->setChecked(!checked);
        return;
    }
    if (checked)
        Q_EMIT thumbnailModeEntered();
    if (m_controls.findLink)
        m_controls.findLink->setEnabled(!checked);
    if (m_controls.filterLink)
        m_controls.filterLink->setEnabled(!checked);

    m_thumbnailState.store(ThumbnailState::Rebuilding);
    m_thumbnailLayout.store(checked);
    resetGrid();
    const int generation = m_generation.load();
    if (!m_session.startThread([this, generation] { rebuildThread(generation); }))
        m_thumbnailState.store(ThumbnailState::Idle);
}

void AlbumListView::rebuildThread(int generation)
{
    const int count = m_session.albums.size();
    for (int index = 0; index < count; ++index) {
        if (m_thumbnailState.load() == ThumbnailState::Interrupted || generation != m_generation.load())
            break;
        prepareCover(index, generation);
        queueRow(index, generation);
    }
    QMetaObject::invokeMethod(this, [this] {
        refresh();
        m_filterKeyword.clear();
    }, Qt::QueuedConnection);
    m_thumbnailState.store(ThumbnailState::Idle);
}

void AlbumListView::prepareCover(int index, int generation)
{
    if (!thumbnailLayout() || generation != m_generation.load())
        return;
    const AlbumRecord record = m_session.albums.at(index);
    if (record.thumbnail != -1 || record.coverUrl.isEmpty())
        return;

    const QString folder = m_session.dataFolder() + QStringLiteral("tmp/");
    QDir().mkpath(folder);
    PageRequest request(record.coverUrl, folder + QString::number(index) + QStringLiteral(".jpg"));
    request.headers = coverHeaders(record);
    // One try, and no pause after a failure: a sheet with many missing covers must
    // not crawl.
    request.retryDelaySec = 0;
    PageResponse response;
    if (!fetch(request, response))
        return;
    // The content decides the format: covers are often PNG or GIF behind a .jpg name.
    const QImage cover(request.savePath);
    const int image = m_images->add(cover);
    if (image < 0)
        return;
    // Under the lock a reset cannot slip in between the test and the store: a cover
    // fetched for the previous list must not land on a record of the new one.
    std::lock_guard lock(m_mutex);
    if (generation == m_generation.load())
        m_session.albums.setImage(index, image);
}

void AlbumListView::queueRow(int index, int generation)
{
    {
        std::lock_guard lock(m_mutex);
        if (generation != m_generation.load())
            return;
        m_queuedRows.append({index, generation});
        if (m_flushPosted)
            return;
        m_flushPosted = true;
    }
    postFlush();
}

void AlbumListView::postFlush()
{
    QMetaObject::invokeMethod(this, [this] { flushRows(kRowBatch); }, Qt::QueuedConnection);
}

void AlbumListView::flushRows(int limit)
{
    QList<QPair<int, int>> rows;
    bool more = false;
    {
        std::lock_guard lock(m_mutex);
        const qsizetype taken = qMin<qsizetype>(limit, m_queuedRows.size());
        rows = m_queuedRows.mid(0, taken);
        m_queuedRows.remove(0, taken);
        more = !m_queuedRows.isEmpty();
        m_flushPosted = more;
    }
    if (more)
        postFlush();
    if (rows.isEmpty())
        return;

    AlbumGrid &grid = *m_controls.grid;
    const int current = m_generation.load();
    grid.setRedraw(false);
    for (const auto &[index, generation] : rows) {
        if (generation == current)
            addAlbumRow(index);
    }
    grid.setRedraw(true);
}

}  // namespace pictrove
