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
#include "ui/login/WeiboLoginLabel.h"
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
    addControl(kControlSourceType, m_sourceType);
    m_subType = new QComboBox;
    m_subType->setMinimumWidth(120);
    m_subType->hide();
    addControl(kControlSubType, m_subType);
    m_ownerBox = new HistoryComboBox;
    m_ownerBox->lineEdit()->setPlaceholderText(QStringLiteral("相册主人的网址"));
    addControl(kControlOwnerAddress, m_ownerBox);
    auto *getList = new QPushButton(QStringLiteral("获取相册"));
    getList->setDefault(true);
    getList->setMinimumWidth(88);
    addControl(kControlGetList, getList);
    auto *download = new QPushButton(QStringLiteral("下载"));
    download->setEnabled(false);
    download->setMinimumWidth(88);
    addControl(kControlDownload, download);
    auto *updateOwner = new QPushButton(QStringLiteral("更新"));
    updateOwner->setMinimumWidth(88);
    updateOwner->setToolTip(QStringLiteral("重新获取相册列表，只下载已存档相册里的新图片"));
    addControl(kControlUpdate, updateOwner);

    m_savePathBox = new HistoryComboBox;
    addControl(kControlSavePath, m_savePathBox);
    addControl(kControlSetPath, new QPushButton(QStringLiteral("设置")));
    addControl(kControlOpenPath, new QPushButton(QStringLiteral("打开")));

    auto *frame = new QGroupBox(QStringLiteral("相册列表"));
    addControl(kControlListFrame, frame);
    m_grid = new AlbumGrid;
    addControl(kControlAlbumGrid, m_grid);
    addControl(kControlSelectAll, new QCheckBox(QStringLiteral("全选")));
    addControl(kControlThumbnails, new QCheckBox(QStringLiteral("预览图")));
    addControl(kControlFind, new LinkLabel(QStringLiteral("查找")));
    addControl(kControlFilter, new LinkLabel(QStringLiteral("筛选")));
    addControl(kControlExport, new LinkLabel(QStringLiteral("导出")));
    addControl(kControlFailedList, new LinkLabel(QStringLiteral("失败列表")));
    control(kControlFailedList)->setVisible(false);

    addControl(kControlStatus, new QLabel);
    addControl(kControlStatusDetail, new QLabel);
    auto *progress = new QProgressBar;
    progress->setRange(0, 1000);
    progress->setVisible(false);
    progress->setMinimumWidth(220);
    addControl(kControlProgress, progress);
    auto *banner = new QLabel;
    banner->setWordWrap(true);
    banner->setAutoFillBackground(true);
    addControl(kControlBanner, banner);
    auto *notice = new QLabel;
    notice->setTextFormat(Qt::PlainText);
    addControl(kControlNotice, notice);
    auto *update = new LinkLabel(QStringLiteral("程序有更新"));
    update->hide();
    addControl(kControlUpdateLink, update);
    addControl(kControlWeiboLogin, new WeiboLoginLabel);
    auto *home = new LinkLabel(homePageCaption());
    home->setEnabled(false);
    addControl(kControlHomeLink, home);
    for (int id : {kControlPraiseLink1, kControlPraiseLink2, kControlPraiseLink3}) {
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
    ownerRow->addWidget(updateOwner);

    auto *pathRow = new QHBoxLayout;
    pathRow->addWidget(new QLabel(QStringLiteral("保存路径:")));
    pathRow->addWidget(m_savePathBox, 1);
    pathRow->addWidget(control(kControlSetPath));
    pathRow->addWidget(control(kControlOpenPath));

    auto *gridTools = new QHBoxLayout;
    gridTools->addWidget(control(kControlSelectAll));
    gridTools->addWidget(control(kControlThumbnails));
    gridTools->addStretch();
    for (int id : {kControlFailedList, kControlFind, kControlFilter, kControlExport})
        gridTools->addWidget(control(id));
    auto *frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(m_grid, 1);
    frameLayout->addLayout(gridTools);

    // The banner covers the two status lines until the first list fetch hides it.
    auto *statusArea = new QGridLayout;
    statusArea->addWidget(control(kControlStatus), 0, 0);
    statusArea->addWidget(control(kControlStatusDetail), 1, 0);
    statusArea->addWidget(control(kControlProgress), 0, 1, 2, 1, Qt::AlignVCenter);
    statusArea->setColumnStretch(0, 1);
    statusArea->addWidget(banner, 0, 0, 2, 1);

    auto *bottomRow = new QHBoxLayout;
    bottomRow->addWidget(notice);
    bottomRow->addWidget(update);
    for (int id : {kControlPraiseLink1, kControlPraiseLink2, kControlPraiseLink3})
        bottomRow->addWidget(control(id));
    bottomRow->addStretch();
    bottomRow->addWidget(control(kControlWeiboLogin));
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
    connect(qobject_cast<QPushButton *>(control(kControlGetList)), &QPushButton::clicked, this,
            &MainWindow::onGetList);
    connect(qobject_cast<QPushButton *>(control(kControlDownload)), &QPushButton::clicked, this,
            &MainWindow::onDownload);
    connect(qobject_cast<QPushButton *>(control(kControlUpdate)), &QPushButton::clicked, this,
            &MainWindow::onUpdate);
    connect(qobject_cast<QPushButton *>(control(kControlSetPath)), &QPushButton::clicked, this,
            &MainWindow::onSetPath);
    connect(qobject_cast<QPushButton *>(control(kControlOpenPath)), &QPushButton::clicked, this,
            &MainWindow::onOpenPath);
    connect(qobject_cast<LinkLabel *>(control(kControlFind)), &LinkLabel::clicked, this, &MainWindow::onFind);
    connect(qobject_cast<LinkLabel *>(control(kControlFilter)), &LinkLabel::clicked, this,
            &MainWindow::onFilter);
    connect(qobject_cast<LinkLabel *>(control(kControlExport)), &LinkLabel::clicked, this,
            &MainWindow::onExport);
    connect(qobject_cast<LinkLabel *>(control(kControlFailedList)), &LinkLabel::clicked, this,
            &MainWindow::onFailedList);

    // Keys for the commands used most: F5 lists (or stops the list), Ctrl+D downloads
    // (or stops the download), Ctrl+F finds.
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
    clickOnKey(QKeySequence(Qt::Key_F5), kControlGetList);
    clickOnKey(QKeySequence(Qt::CTRL | Qt::Key_D), kControlDownload);
    clickOnKey(QKeySequence::Find, kControlFind);

    connect(qobject_cast<LinkLabel *>(control(kControlUpdateLink)), &LinkLabel::clicked, this, [this] {
        if (m_config && !m_config->value(1).isEmpty())
            openOrOfferCopy(m_config->value(1));
    });
    connect(qobject_cast<LinkLabel *>(control(kControlHomeLink)), &LinkLabel::clicked, this,
            [this] { openOrOfferCopy(homePageAddress()); });

    // The address box is classified when the user edits it or picks a history entry,
    // never when the program fills it.
    connect(m_ownerBox->lineEdit(), &QLineEdit::textEdited, this, &MainWindow::classifyOwnerAddress);
    connect(m_ownerBox, &HistoryComboBox::entryChosen, this, &MainWindow::classifyOwnerAddress);
    // Enter in the address box lists, as the default button would in a dialog; while a
    // list runs it does nothing (the button stops lists; Enter should not).
    connect(m_ownerBox, &HistoryComboBox::submitted, this, [this] {
        if (m_session->listState.load() == ListState::Idle && control(kControlGetList)->isEnabled())
            onGetList();
    });
    connect(m_sourceType, &QComboBox::activated, this, [this] {
        onSourceTypeChanged();
        // The selector keeps every service's entry, but only the Sina ones can be read:
        // picking another is answered at once, not by a list that finds nothing.
        if (controlIndex(m_sourceType) != int(SourceType::Sina))
            setControlText(control(kControlStatus), QStringLiteral("该来源暂不支持：只能获取新浪博客和新浪微博的相册"));
    });

    connect(qobject_cast<QCheckBox *>(control(kControlSelectAll)), &QCheckBox::clicked, m_view.get(),
            &AlbumListView::onSelectAllClicked);
    connect(qobject_cast<QCheckBox *>(control(kControlThumbnails)), &QCheckBox::clicked, m_view.get(),
            &AlbumListView::onThumbnailsClicked);
    connect(m_view.get(), &AlbumListView::thumbnailModeEntered, this, [this] {
        if (m_find)
            m_find->dismiss();
    });
    connectAlbumRows();
    // The first thing a user does is paste an owner's address and press Enter.
    m_ownerBox->setFocus();
}

}  // namespace pictrove
