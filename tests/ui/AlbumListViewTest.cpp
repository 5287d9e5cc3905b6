// The album list view: list rows, rows from other threads, find and filter, the CSV
// export, select all and the thumbnail sheet with its covers.

#include "UiTestSupport.h"

#include "grid/AlbumGrid.h"
#include "grid/ThumbnailImageList.h"
#include "sources/AddAlbum.h"
#include "sources/Session.h"
#include "sources/sinablog/SinaBlogSource.h"
#include "sources/weibo/WeiboSource.h"
#include "support/LoopbackServer.h"
#include "support/ScopedRouting.h"
#include "text/Charsets.h"
#include "ui/albumview/AlbumListView.h"
#include "ui/mainwindow/ControlIds.h"
#include "ui/albumview/CsvExport.h"
#include "ui/mainwindow/MainWindow.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>
#include <thread>

namespace pictrove {

namespace {

AlbumRecord album(const QString &name, int count = 1, int flags = 0, const QString &cover = QString())
{
    AlbumRecord record;
    record.name = name;
    record.pictureCount = count;
    record.accessFlags = flags;
    record.coverUrl = cover;
    return record;
}

QByteArray pngPicture(QColor colour)
{
    QImage image(200, 150, QImage::Format_RGB32);
    image.fill(colour);
    QPainter painter(&image);
    painter.fillRect(20, 20, 160, 110, colour.darker(160));
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

class AlbumListViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(data.isValid());
        window = std::make_unique<MainWindow>(shell);
        session().setDataFolder(data.path() + QLatin1Char('/'));
        view().resetGrid();
        window->show();
    }

    Session &session() const { return window->session(); }
    AlbumListView &view() const { return window->albumView(); }
    AlbumGrid &grid() const { return window->grid(); }
    QAbstractButton *button(int id) const { return qobject_cast<QAbstractButton *>(window->control(id)); }

    void add(const QList<AlbumRecord> &records)
    {
        for (const AlbumRecord &record : records)
            addAlbum(session(), record);
    }

    QStringList shownNames() const
    {
        QStringList names;
        for (int row = grid().fixedRowCount(); row < grid().gridRowCount(); ++row)
            names.append(grid().cellText(row, 1));
        return names;
    }

    void switchThumbnails()
    {
        button(kControlThumbnails)->click();
        ASSERT_TRUE(waitUntil([this] { return view().thumbnailState() == ThumbnailState::Idle; }));
        QApplication::processEvents();  // the rebuild's last rows
    }

    QTemporaryDir data;
    RecordingShell shell;
    std::unique_ptr<MainWindow> window;
};

TEST_F(AlbumListViewTest, ListRowsShowTheRecords)
{
    const QString longName = QString(100, QChar(u'长'));
    add({album(longName, 3), album(QStringLiteral("unknown"), -1), album(QStringLiteral("seven"), 7, 0x1),
         album(QStringLiteral("numbered"), 12, int32_t(0x8000002A)), album(QStringLiteral("private"), 1, 0x2 | 0x4),
         album(QStringLiteral("friends"), 1, 0x4)});

    const struct {
        int row;
        QString number, name, count, remark;
    } rows[] = {
        {1, QStringLiteral("0001"), QString(80, QChar(u'长')), QStringLiteral("   3"), QString()},
        {2, QStringLiteral("0002"), QStringLiteral("unknown"), QStringLiteral("未知"), QString()},
        {3, QStringLiteral("0003"), QStringLiteral("seven"), QStringLiteral("   7"), QStringLiteral("加密相册")},
        {4, QStringLiteral("0004"), QStringLiteral("numbered"), QStringLiteral("  12"), QStringLiteral("00000042")},
        {5, QStringLiteral("0005"), QStringLiteral("private"), QStringLiteral("   1"), QStringLiteral("私密相册")},
        {6, QStringLiteral("0006"), QStringLiteral("friends"), QStringLiteral("   1"), QStringLiteral("好友可见")},
    };
    ASSERT_EQ(grid().gridRowCount(), 7);
    EXPECT_EQ(grid().gridColumnCount(), 6);
    EXPECT_EQ(grid().cellText(0, 0), QStringLiteral("序号"));
    // The fixed columns keep their widths; the name takes the rest of the grid's width.
    EXPECT_EQ(grid().columnWidth(0), 50);
    EXPECT_EQ(grid().columnWidth(3), 100);
    EXPECT_EQ(grid().columnWidth(4), 110);  // 状态, filled by downloads
    EXPECT_EQ(grid().columnWidth(1), grid().viewport()->width() - 50 - 50 - 100 - 110);
    EXPECT_EQ(grid().columnWidth(5), 0);
    for (const auto &r : rows) {
        SCOPED_TRACE(r.row);
        EXPECT_EQ(grid().cellText(r.row, 0), r.number);
        EXPECT_EQ(grid().cellData(r.row, 0), r.row - 1);
        EXPECT_EQ(grid().cellText(r.row, 1), r.name);
        EXPECT_EQ(grid().cellText(r.row, 2), r.count);
        EXPECT_EQ(grid().cellText(r.row, 3), r.remark);
    }
    EXPECT_EQ(session().albums.at(0).name.size(), 80);  // the record keeps only what is shown
}

TEST_F(AlbumListViewTest, RowsFromAnotherThreadArriveInOrder)
{
    constexpr int kCount = 1500;
    std::thread lister([this] {
        for (int i = 0; i < kCount; ++i)
            addAlbum(session(), album(QStringLiteral("album %1").arg(i)));
    });
    const bool arrived = waitUntil([this] { return grid().gridRowCount() == kCount + 1; });
    lister.join();
    ASSERT_TRUE(arrived);
    for (int row = 1; row <= kCount; ++row) {
        ASSERT_EQ(grid().cellData(row, 0), row - 1);
        ASSERT_EQ(grid().cellText(row, 0), QString::asprintf("%04d", row));
    }
}

TEST_F(AlbumListViewTest, FindStepsThroughMatchesAndWraps)
{
    add({album(QStringLiteral("apple")), album(QStringLiteral("Banana")), album(QStringLiteral("cherry apple")),
         album(QStringLiteral("date")), album(QStringLiteral("APPLE pie"))});
    window->onFind();
    FindDialog *find = window->findDialog();
    ASSERT_NE(find, nullptr);
    EXPECT_EQ(grid().selectionMode(), QAbstractItemView::SingleSelection);
    auto *keyword = find->findChild<QLineEdit *>(QStringLiteral("ctl1639"));
    auto *caseBox = find->findChild<QAbstractButton *>(QStringLiteral("ctl1033"));
    auto *wholeBox = find->findChild<QAbstractButton *>(QStringLiteral("ctl1034"));
    auto *next = find->findChild<QPushButton *>(QStringLiteral("ctl1006"));
    auto *previous = find->findChild<QPushButton *>(QStringLiteral("ctl1701"));
    ASSERT_TRUE(keyword && caseBox && wholeBox && next && previous);
    EXPECT_EQ(next->text(), QStringLiteral("下一个"));

    const struct {
        const char *keyword;
        bool caseSensitive, whole, forward;
        QList<int> rows;  // focus row after each press
    } cases[] = {
        {"apple", false, false, true, {1, 3, 5, 1}},
        {"apple", false, false, false, {5, 3, 1, 5}},
        {"apple", true, false, true, {1, 3, 1}},
        {"APPLE", false, true, true, {1, 1}},
        {"0004", false, true, true, {4, 4}},
        {" pie ", true, false, true, {5, 5}},  // the keyword is trimmed
        {"zzz", false, false, true, {-1, -1}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.keyword);
        grid().clearSelectionAndFocus();
        keyword->setText(QString::fromLatin1(c.keyword));
        caseBox->setChecked(c.caseSensitive);
        wholeBox->setChecked(c.whole);
        for (int expected : c.rows) {
            (c.forward ? next : previous)->click();
            EXPECT_EQ(grid().focusRow(), expected);
            if (expected > 0) {
                EXPECT_EQ(view().selectedAlbums(), QList<int>{expected - 1});
            }
        }
    }
    saveScreenshot(find, QStringLiteral("find-dialog"));

    keyword->setText(QStringLiteral("   "));
    next->click();
    EXPECT_EQ(shell.messages(), QStringList{QStringLiteral(": 关键字不能为空")});

    find->findChild<QToolButton *>(QStringLiteral("ctl1699"))->click();
    EXPECT_FALSE(find->isVisible());
    EXPECT_EQ(grid().selectionMode(), QAbstractItemView::ExtendedSelection);
}

TEST_F(AlbumListViewTest, FindScrollsTheMatchToTheTop)
{
    QList<AlbumRecord> records;
    for (int i = 0; i < 80; ++i)
        records.append(album(QStringLiteral("album %1").arg(i, 2, 10, QLatin1Char('0'))));
    add(records);
    window->onFind();
    window->findDialog()->findChild<QLineEdit *>(QStringLiteral("ctl1639"))->setText(QStringLiteral("album 40"));
    EXPECT_EQ(window->findDialog()->findStep(true), 41);
    EXPECT_EQ(grid().verticalScrollPosition(), 40 * grid().rowHeight(0));
}

TEST_F(AlbumListViewTest, FilterListsMatchingAlbumsOnce)
{
    add({album(QStringLiteral("apple")), album(QStringLiteral("Banana")), album(QStringLiteral("cherry apple")),
         album(QStringLiteral("APPLE pie"))});
    const QStringList all = {QStringLiteral("apple"), QStringLiteral("Banana"), QStringLiteral("cherry apple"),
                             QStringLiteral("APPLE pie")};
    const struct {
        const char *typed;
        bool cancel;
        QStringList shown;
    } cases[] = {
        {"apple", false, {QStringLiteral("apple"), QStringLiteral("cherry apple")}},
        {"  APPLE ", false, {QStringLiteral("APPLE pie")}},
        {"", false, all},
        {"Banana", true, all},  // × closes without filtering
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        view().applyFilter(QString());
        QTimer::singleShot(0, [&c] {
            QWidget *filter = QApplication::activeModalWidget();
            ASSERT_NE(filter, nullptr);
            EXPECT_EQ(filter->findChild<QPushButton *>(QStringLiteral("ctl1006"))->text(), QStringLiteral("筛选"));
            EXPECT_FALSE(filter->findChild<QPushButton *>(QStringLiteral("ctl1701"))->isVisibleTo(filter));
            filter->findChild<QLineEdit *>(QStringLiteral("ctl1639"))->setText(QString::fromLatin1(c.typed));
            const char *press = c.cancel ? "ctl1699" : "ctl1006";
            filter->findChild<QAbstractButton *>(QString::fromLatin1(press))->click();
        });
        window->onFilter();
        EXPECT_EQ(shownNames(), c.shown);
        EXPECT_TRUE(view().filterKeyword().isEmpty());  // the next rebuild lists everything
    }
    // The rows keep their album positions: the second shown by "apple" is album 2.
    view().applyFilter(QStringLiteral("apple"));
    EXPECT_EQ(grid().cellData(2, 0), 2);
}

TEST_F(AlbumListViewTest, CsvExportBytes)
{
    add({album(QStringLiteral("a,b"), 3), album(QStringLiteral("it's"), -1, 0x2),
         album(QStringLiteral("旅行"), 12, int32_t(0x8000002A))});
    shell.saveFile = data.path() + QStringLiteral("/albums.csv");
    window->onExport();

    QFile file(shell.saveFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray expected = toGbk(QStringLiteral("0001,a','b,   3,,,,\r\n"
                                                     "0002,its,未知,私密相册,,,\r\n"
                                                     "0003,旅行,  12,00000042,,,\r\n"));
    EXPECT_EQ(file.readAll(), expected);

    shell.saveFile.clear();  // cancelled: nothing written, nothing said
    window->onExport();
    EXPECT_TRUE(shell.messages().isEmpty());
}

TEST(CsvCellTest, QuotesApostrophesAndCommas)
{
    const struct {
        const char16_t *text;
        const char16_t *cell;
    } cases[] = {
        {u"plain", u"plain"},
        {u"say \"hi\"", u"say \"\"hi\"\""},
        {u"it's", u"its"},
        {u"a,b,c", u"a','b','c"},
        {u"'a',b", u"a','b"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.text).toStdString());
        EXPECT_EQ(csvCell(QString::fromUtf16(c.text)), QString::fromUtf16(c.cell));
    }
}

TEST_F(AlbumListViewTest, SelectAllAndTheSelectionReadOut)
{
    add({album(QStringLiteral("a")), album(QStringLiteral("b")), album(QStringLiteral("c"))});
    button(kControlSelectAll)->click();
    EXPECT_EQ(view().selectedAlbums(), QList<int>({0, 1, 2}));
    button(kControlSelectAll)->click();
    EXPECT_TRUE(view().selectedAlbums().isEmpty());

    // Rows read out in grid order, each by the album position it carries.
    grid().selectionModel()->select(grid().model()->index(2, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    grid().selectionModel()->select(grid().model()->index(0, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_EQ(view().selectedAlbums(), QList<int>({0, 2}));

    button(kControlSelectAll)->click();
    view().resetGrid();
    EXPECT_FALSE(button(kControlSelectAll)->isChecked());
}

// 全选 follows the selection however it came about, and the selection follows 全选.
TEST_F(AlbumListViewTest, SelectAllFollowsTheSelection)
{
    add({album(QStringLiteral("a")), album(QStringLiteral("b")), album(QStringLiteral("c"))});
    auto *selectAll = button(kControlSelectAll);
    const auto clickRow = [&](int row, Qt::KeyboardModifiers modifiers) {
        const QRect cell = grid().visualRect(grid().model()->index(row, 1));
        QTest::mouseClick(grid().viewport(), Qt::LeftButton, modifiers, cell.center());
    };

    grid().setFocus();
    QTest::keyClick(&grid(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(view().selectedAlbums(), QList<int>({0, 1, 2}));
    EXPECT_TRUE(selectAll->isChecked());

    clickRow(1, Qt::NoModifier);  // one row alone
    EXPECT_EQ(view().selectedAlbums(), QList<int>({1}));
    EXPECT_FALSE(selectAll->isChecked());

    clickRow(0, Qt::ControlModifier);
    EXPECT_FALSE(selectAll->isChecked());
    clickRow(2, Qt::ControlModifier);  // every row, one click at a time
    EXPECT_TRUE(selectAll->isChecked());

    // A row added to a whole selection is not selected: the box says so.
    add({album(QStringLiteral("d"))});
    EXPECT_EQ(view().selectedAlbums(), QList<int>({0, 1, 2}));
    EXPECT_FALSE(selectAll->isChecked());

    selectAll->click();
    EXPECT_EQ(view().selectedAlbums(), QList<int>({0, 1, 2, 3}));
    EXPECT_TRUE(selectAll->isChecked());
    selectAll->click();
    EXPECT_TRUE(view().selectedAlbums().isEmpty());
    EXPECT_FALSE(selectAll->isChecked());
}

class ThumbnailTest : public AlbumListViewTest {
protected:
    void SetUp() override
    {
        AlbumListViewTest::SetUp();
        covers.route("ww1.sinaimg.cn", "/thumb300/a.jpg", CannedResponse::ok(pngPicture(QColor(70, 130, 180)), "image/png"));
        covers.route("photo.blog.sina.com.cn", "/cover/b.jpg",
                     CannedResponse::ok(pngPicture(QColor(200, 120, 60)), "image/jpeg"));
        covers.route("ww1.sinaimg.cn", "/slow.jpg",
                     CannedResponse::ok(pngPicture(Qt::darkGreen), "image/png").withLatency(1500));
    }

    LoopbackServer covers;
    ScopedRouting routing{covers, {QStringLiteral("ww1.sinaimg.cn"), QStringLiteral("photo.blog.sina.com.cn")}};
};

TEST_F(ThumbnailTest, SheetShowsCoversFetchedOnce)
{
    QList<AlbumRecord> records = {
        album(QStringLiteral("微博配图"), 33, 0, QStringLiteral("http://ww1.sinaimg.cn/thumb300/a.jpg")),
        album(QStringLiteral("博客相册"), 5, 0, QStringLiteral("http://photo.blog.sina.com.cn/cover/b.jpg")),
        album(QStringLiteral("封面丢失"), 2, 0, QStringLiteral("http://ww1.sinaimg.cn/missing.jpg")),
    };
    // Each cover asks with what its album's source wants for its pictures.
    records[0].source = &kWeiboSource;
    records[1].source = &kSinaBlogCategoriesSource;
    records[2].source = &kWeiboSource;
    for (int i = 3; i < 7; ++i)
        records.append(album(QStringLiteral("相册%1").arg(i)));
    add(records);

    switchThumbnails();
    EXPECT_EQ(grid().fixedRowCount(), 0);
    ASSERT_EQ(grid().gridRowCount(), 2);
    EXPECT_EQ(grid().gridColumnCount(), 6);
    EXPECT_EQ(grid().columnWidth(0), 113 + 2 * AlbumListView::kCellMargin);
    EXPECT_EQ(grid().rowHeight(0), 130);
    EXPECT_EQ(grid().cellText(0, 0), QStringLiteral("1.微博配图"));
    EXPECT_EQ(grid().cellText(1, 0), QStringLiteral("7.相册6"));
    EXPECT_EQ(grid().cellData(1, 0), 6);
    EXPECT_GE(grid().cellImage(0, 0), 0);
    EXPECT_GE(grid().cellImage(0, 1), 0);
    EXPECT_EQ(grid().cellImage(0, 2), -1);  // a cover that failed leaves the caption alone
    EXPECT_EQ(view().images().count(), 2);
    EXPECT_EQ(view().images().at(0).size(), QSize(113, 120));
    EXPECT_TRUE(QFile::exists(data.path() + QStringLiteral("/tmp/0.jpg")));
    EXPECT_FALSE(QFile::exists(data.path() + QStringLiteral("/tmp/2.jpg")));
    EXPECT_FALSE(window->control(kControlFind)->isEnabled());
    EXPECT_FALSE(window->control(kControlFilter)->isEnabled());

    const QList<RecordedRequest> requests = covers.requests();
    ASSERT_EQ(requests.size(), 3);
    for (const RecordedRequest &request : requests) {
        SCOPED_TRACE(request.target.constData());
        EXPECT_EQ(request.header("Referer"), request.host() == "ww1.sinaimg.cn" ? QByteArray("https://weibo.com/")
                                                                                : QByteArray("http://blog.sina.com.cn/"));
    }
    window->resize(860, 620);
    saveScreenshot(window.get(), QStringLiteral("main-window-thumbnails"));

    // Cells are selected one by one and read out row by row.
    grid().selectionModel()->select(grid().model()->index(1, 0), QItemSelectionModel::Select);
    grid().selectionModel()->select(grid().model()->index(0, 4), QItemSelectionModel::Select);
    EXPECT_EQ(view().selectedAlbums(), QList<int>({4, 6}));

    switchThumbnails();  // back to the list
    EXPECT_EQ(grid().gridRowCount(), 8);
    EXPECT_TRUE(window->control(kControlFind)->isEnabled());
    switchThumbnails();
    EXPECT_EQ(covers.requestCount(), 4);  // only the missing cover is asked again
    EXPECT_GE(grid().cellImage(0, 0), 0);
}

TEST_F(ThumbnailTest, SwitchingDuringARebuildAsksFirst)
{
    add({album(QStringLiteral("slow"), 1, 0, QStringLiteral("http://ww1.sinaimg.cn/slow.jpg")),
         album(QStringLiteral("second")), album(QStringLiteral("third"))});
    for (bool interrupt : {false, true}) {
        SCOPED_TRACE(interrupt);
        view().clearThumbnails();
        QAbstractButton *thumbnails = button(kControlThumbnails);
        if (thumbnails->isChecked())
            switchThumbnails();
        session().albums.setImage(0, -1);

        thumbnails->click();  // on: the rebuild waits for the slow cover
        ASSERT_EQ(view().thumbnailState(), ThumbnailState::Rebuilding);
        shell.answer = interrupt;
        thumbnails->click();
        EXPECT_EQ(shell.questions().last(), QStringLiteral("模式转换未完成,是否中断?"));
        EXPECT_TRUE(thumbnails->isChecked());  // the box keeps its state either way
        EXPECT_EQ(view().thumbnailState(), interrupt ? ThumbnailState::Interrupted : ThumbnailState::Rebuilding);

        ASSERT_TRUE(waitUntil([this] { return view().thumbnailState() == ThumbnailState::Idle; }));
        QApplication::processEvents();
        // Interrupted after the album in progress; otherwise every album is shown.
        EXPECT_EQ(grid().cellText(0, 1).isEmpty(), interrupt);
    }
}

}  // namespace

}  // namespace pictrove
