// The main window's controls: creation, layout and wiring.
#include "ui/mainwindow/MainWindow.h"

#include "grid/AlbumGrid.h"
#include "sources/Session.h"
#include "sources/SourceConfigService.h"
#include "ui/albumview/AlbumListView.h"
#include "ui/mainwindow/ControlAccess.h"
#include "ui/mainwindow/ControlIds.h"
#include "ui/albumview/FindDialog.h"
#include "ui/mainwindow/HistoryComboBox.h"
#include "ui/mainwindow/LinkLabel.h"
#include "ui/mainwindow/MainMenu.h"
#include "ui/platform/ShellServices.h"
#include "ui/startup/StoredTexts.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace pictrove {

void MainWindow::addControl(int id, QWidget *widget)
{
    widget->setObjectName(QStringLiteral("ctl%1").arg(id));
    m_controls.insert(id, widget);
}

void MainWindow::buildControls()
{
    m_sourceType = new QComboBox;
    m_sourceType->setMinimumWidth(120);
    addControl(IDC_SOURCE_TYPE, m_sourceType);
    m_subType = new QComboBox;
    m_subType->setMinimumWidth(120);
    m_subType->hide();
    addControl(IDC_SUB_TYPE, m_subType);
    m_ownerBox = new HistoryComboBox;
    m_ownerBox->lineEdit()->setPlaceholderText(QStringLiteral("相册主人的网址"));
    addControl(IDC_OWNER_ADDRESS, m_ownerBox);
    auto *getList = new QPushButton(QStringLiteral("获取相册"));
    getList->setDefault(true);
    getList->setMinimumWidth(88);
    addControl(IDC_GET_LIST, getList);
    auto *download = new QPushButton(QStringLiteral("下载"));
    download->setEnabled(false);
    download->setMinimumWidth(88);
    addControl(IDC_DOWNLOAD, download);

    m_savePathBox = new HistoryComboBox;
    addControl(IDC_SAVE_PATH, m_savePathBox);
    addControl(IDC_SET_PATH, new QPushButton(QStringLiteral("设置")));
    addControl(IDC_OPEN_PATH, new QPushButton(QStringLiteral("打开")));

    auto *frame = new QGroupBox(QStringLiteral("相册列表"));
    addControl(IDC_LIST_FRAME, frame);
    m_grid = new AlbumGrid;
    addControl(IDC_ALBUM_GRID, m_grid);
    addControl(IDC_SELECT_ALL, new QCheckBox(QStringLiteral("全选")));
    addControl(IDC_THUMBNAILS, new QCheckBox(QStringLiteral("预览图")));
    addControl(IDC_FIND, new LinkLabel(QStringLiteral("查找")));
    addControl(IDC_FILTER, new LinkLabel(QStringLiteral("筛选")));
    addControl(IDC_EXPORT, new LinkLabel(QStringLiteral("导出")));
    addControl(IDC_FAILED_LIST, new LinkLabel(QStringLiteral("失败列表")));
    control(IDC_FAILED_LIST)->setVisible(false);

    addControl(IDC_STATUS, new QLabel);
    addControl(IDC_STATUS_DETAIL, new QLabel);
    auto *progress = new QProgressBar;
    progress->setRange(0, 1000);
    progress->setVisible(false);
    progress->setMinimumWidth(220);
    addControl(IDC_PROGRESS, progress);
    auto *banner = new QLabel;
    banner->setWordWrap(true);
    banner->setAutoFillBackground(true);
    addControl(IDC_BANNER, banner);
    auto *notice = new QLabel;
    notice->setTextFormat(Qt::PlainText);
    addControl(IDC_NOTICE, notice);
    auto *update = new LinkLabel(QStringLiteral("程序有更新"));
    update->hide();
    addControl(IDC_UPDATE_LINK, update);
    auto *home = new LinkLabel(homePageCaption());
    home->setEnabled(false);
    addControl(IDC_HOME_LINK, home);
    for (int id : {IDC_PRAISE_LINK1, IDC_PRAISE_LINK2, IDC_PRAISE_LINK3}) {
        auto *praise = new LinkLabel(QStringLiteral("好评"));
        praise->hide();
        addControl(id, praise);
    }

    // Layout ---------------------------------------------------------------------
    auto *ownerRow = new QHBoxLayout;
    ownerRow->addWidget(m_sourceType);
    ownerRow->addWidget(m_subType);
    ownerRow->addWidget(m_ownerBox, 1);
    ownerRow->addWidget(getList);
    ownerRow->addWidget(download);

    auto *pathRow = new QHBoxLayout;
    pathRow->addWidget(new QLabel(QStringLiteral("保存路径:")));
    pathRow->addWidget(m_savePathBox, 1);
    pathRow->addWidget(control(IDC_SET_PATH));
    pathRow->addWidget(control(IDC_OPEN_PATH));

    auto *gridTools = new QHBoxLayout;
    gridTools->addWidget(control(IDC_SELECT_ALL));
    gridTools->addWidget(control(IDC_THUMBNAILS));
    gridTools->addStretch();
    for (int id : {IDC_FAILED_LIST, IDC_FIND, IDC_FILTER, IDC_EXPORT})
        gridTools->addWidget(control(id));
    auto *frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(m_grid, 1);
    frameLayout->addLayout(gridTools);

    // The banner covers the two status lines until the first list fetch hides it.
    auto *statusArea = new QGridLayout;
    statusArea->addWidget(control(IDC_STATUS), 0, 0);
    statusArea->addWidget(control(IDC_STATUS_DETAIL), 1, 0);
    statusArea->addWidget(control(IDC_PROGRESS), 0, 1, 2, 1, Qt::AlignVCenter);
    statusArea->setColumnStretch(0, 1);
    statusArea->addWidget(banner, 0, 0, 2, 1);

    auto *bottomRow = new QHBoxLayout;
    bottomRow->addWidget(notice);
    bottomRow->addWidget(update);
    for (int id : {IDC_PRAISE_LINK1, IDC_PRAISE_LINK2, IDC_PRAISE_LINK3})
        bottomRow->addWidget(control(id));
    bottomRow->addStretch();
    bottomRow->addWidget(home);

    auto *layout = new QVBoxLayout(this);
    layout->setMenuBar(createMainMenu(this));
    layout->addLayout(ownerRow);
    layout->addLayout(pathRow);
    layout->addWidget(frame, 1);
    layout->addLayout(statusArea);
    layout->addLayout(bottomRow);
}

void MainWindow::connectControls()
{
    connect(qobject_cast<QPushButton *>(control(IDC_GET_LIST)), &QPushButton::clicked, this,
            &MainWindow::onGetList);
    connect(qobject_cast<QPushButton *>(control(IDC_DOWNLOAD)), &QPushButton::clicked, this,
            &MainWindow::onDownload);
    connect(qobject_cast<QPushButton *>(control(IDC_SET_PATH)), &QPushButton::clicked, this,
            &MainWindow::onSetPath);
    connect(qobject_cast<QPushButton *>(control(IDC_OPEN_PATH)), &QPushButton::clicked, this,
            &MainWindow::onOpenPath);
    connect(qobject_cast<LinkLabel *>(control(IDC_FIND)), &LinkLabel::clicked, this, &MainWindow::onFind);
    connect(qobject_cast<LinkLabel *>(control(IDC_FILTER)), &LinkLabel::clicked, this,
            &MainWindow::onFilter);
    connect(qobject_cast<LinkLabel *>(control(IDC_EXPORT)), &LinkLabel::clicked, this,
            &MainWindow::onExport);
    connect(qobject_cast<LinkLabel *>(control(IDC_FAILED_LIST)), &LinkLabel::clicked, this,
            &MainWindow::onFailedList);

    // Keys for the commands used most: F5 lists (or stops the list), Ctrl+F finds.
    // Each acts like a click on its control, so a greyed control ignores its key too.
    const auto clickOnKey = [this](const QKeySequence &keys, int id) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [this, id] {
            QWidget *target = control(id);
            if (!target || !target->isEnabled())
                return;
            if (auto *button = qobject_cast<QAbstractButton *>(target))
                button->click();
            else if (auto *link = qobject_cast<LinkLabel *>(target))
                Q_EMIT link->clicked();
        });
    };
    clickOnKey(QKeySequence(Qt::Key_F5), IDC_GET_LIST);
    clickOnKey(QKeySequence::Find, IDC_FIND);

    connect(qobject_cast<LinkLabel *>(control(IDC_UPDATE_LINK)), &LinkLabel::clicked, this, [this] {
        if (m_config && !m_config->value(1).isEmpty())
            openOrOfferCopy(m_config->value(1));
    });
    connect(qobject_cast<LinkLabel *>(control(IDC_HOME_LINK)), &LinkLabel::clicked, this,
            [this] { openOrOfferCopy(homePageAddress()); });

    // The address box is classified when the user edits it or picks a history entry,
    // never when the program fills it.
    connect(m_ownerBox->lineEdit(), &QLineEdit::textEdited, this, &MainWindow::classifyOwnerAddress);
    connect(m_ownerBox, &HistoryComboBox::entryChosen, this, &MainWindow::classifyOwnerAddress);
    // Enter in the address box lists, as the default button would in a dialog; while a
    // list runs it does nothing (the button stops lists; Enter should not).
    connect(m_ownerBox, &HistoryComboBox::submitted, this, [this] {
        if (m_session->listState.load() == ListState::Idle && control(IDC_GET_LIST)->isEnabled())
            onGetList();
    });
    connect(m_sourceType, &QComboBox::activated, this, [this] {
        onSourceTypeChanged();
        // The selector keeps every service's entry, but only the Sina ones can be read:
        // picking another is answered at once, not by a list that finds nothing.
        if (controlIndex(m_sourceType) != int(SourceType::Sina))
            setControlText(control(IDC_STATUS), QStringLiteral("该来源暂不支持：只能获取新浪博客和新浪微博的相册"));
    });

    connect(qobject_cast<QCheckBox *>(control(IDC_SELECT_ALL)), &QCheckBox::clicked, m_view.get(),
            &AlbumListView::onSelectAllClicked);
    connect(qobject_cast<QCheckBox *>(control(IDC_THUMBNAILS)), &QCheckBox::clicked, m_view.get(),
            &AlbumListView::onThumbnailsClicked);
    connect(m_view.get(), &AlbumListView::thumbnailModeEntered, this, [this] {
        if (m_find)
            m_find->dismiss();
    });
    connectAlbumRows();
}

}  // namespace pictrove
