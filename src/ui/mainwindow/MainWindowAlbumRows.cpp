// The album rows' own commands: double-click opens a downloaded album's folder, and a
// context menu downloads the selected albums, opens the folder or copies the album's
// address.
#include "ui/mainwindow/MainWindow.h"

#include "download/DownloadEvents.h"
#include "download/Folders.h"
#include "grid/AlbumGrid.h"
#include "settings/DataFolder.h"
#include "sources/Session.h"
#include "ui/albumview/AlbumListView.h"
#include "ui/mainwindow/ControlAccess.h"
#include "ui/mainwindow/ControlIds.h"
#include "ui/mainwindow/HistoryComboBox.h"
#include "ui/platform/ShellServices.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>

namespace pictrove {

void MainWindow::connectAlbumRows()
{
    // A click on a column title sorts the rows by it, the next click the other way.
    // Only the view is sorted: rows carry their album's index, and a download still
    // walks the albums in list order.
    QHeaderView *titles = m_grid->horizontalHeader();
    titles->setSectionsClickable(true);
    connect(titles, &QHeaderView::sectionClicked, this, [this, titles](int column) {
        if (m_session->listState.load() != ListState::Idle || m_grid->fixedRowCount() == 0)
            return;
        const bool again = titles->isSortIndicatorShown() && titles->sortIndicatorSection() == column;
        const Qt::SortOrder order = again && titles->sortIndicatorOrder() == Qt::AscendingOrder
            ? Qt::DescendingOrder
            : Qt::AscendingOrder;
        m_grid->sortItems(column, order);
        titles->setSortIndicatorShown(true);
        titles->setSortIndicator(column, order);
    });
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_grid, &QWidget::customContextMenuRequested, this, &MainWindow::showAlbumMenu);
    connect(m_grid, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
        const int album = albumAtCell(row, column);
        if (album >= 0)
            openAlbumFolder(album);
    });
}

int MainWindow::albumAtCell(int row, int column) const
{
    if (row < 0 || column < 0)
        return -1;
    // The list carries the album's index in its first column; the thumbnail sheet in
    // every cell.
    const int gridRow = row + m_grid->fixedRowCount();
    const int album = m_grid->cellData(gridRow, m_grid->fixedRowCount() > 0 ? 0 : column);
    return album >= 0 && album < m_session->albums.size() ? album : -1;
}

void MainWindow::openAlbumFolder(int album)
{
    const SourceType type = m_session->sourceType.load();
    const NameRules rules = m_session->settings().nameRules[size_t(settingsIndex(type))];
    const QString folder =
        albumFolderFor(absoluteSavePath(m_savePathBox->currentText(), QDir::homePath()), m_session->owner,
                       m_session->albums.at(album), rules);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        setControlText(control(kControlStatus), QStringLiteral("该相册还没有下载：%1").arg(folder));
        return;
    }
    openOrOfferCopy(folder);
}

void MainWindow::showAlbumMenu(const QPoint &position)
{
    const QModelIndex cell = m_grid->indexAt(position);
    const int album = albumAtCell(cell.row(), cell.column());
    if (album < 0)
        return;
    // The menu acts on the row it was opened on, as file managers do.
    if (!m_grid->isCellSelected(cell.row() + m_grid->fixedRowCount(), cell.column()))
        m_grid->selectWholeRow(cell.row() + m_grid->fixedRowCount());

    QMenu menu(this);
    QAction *download = menu.addAction(QStringLiteral("下载选中的相册"));
    download->setEnabled(control(kControlDownload)->isEnabled());
    QAction *open = menu.addAction(QStringLiteral("打开相册文件夹"));
    QAction *copy = menu.addAction(QStringLiteral("复制相册地址"));
    QAction *chosen = menu.exec(m_grid->viewport()->mapToGlobal(position));
    if (chosen == download)
        onDownload();
    else if (chosen == open)
        openAlbumFolder(album);
    else if (chosen == copy)
        QGuiApplication::clipboard()->setText(m_session->albums.at(album).url);
}

}  // namespace pictrove
