#include "ui/dialogs/FailedPicturesDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace pictrove {

FailedPicturesDialog::FailedPicturesDialog(const QList<FailedPicture> &failures, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("失败列表"));
    auto *table = new QTableWidget(int(failures.size()), 3, this);
    table->setObjectName(QStringLiteral("failures"));
    table->setHorizontalHeaderLabels({QStringLiteral("相册"), QStringLiteral("地址"), QStringLiteral("原因")});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->setVisible(false);
    table->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    for (int row = 0; row < failures.size(); ++row) {
        const FailedPicture &failure = failures.at(row);
        table->setItem(row, 0, new QTableWidgetItem(failure.albumName));
        table->setItem(row, 1, new QTableWidgetItem(failure.address));
        table->setItem(row, 2, new QTableWidgetItem(failure.reason));
    }
    table->resizeColumnToContents(0);
    table->resizeColumnToContents(2);

    auto *buttons = new QDialogButtonBox(this);
    // The retry lists the albums again and fetches only the pictures not yet there.
    QPushButton *retry = buttons->addButton(QStringLiteral("重试这些图片"), QDialogButtonBox::AcceptRole);
    retry->setObjectName(QStringLiteral("retry"));
    buttons->addButton(QStringLiteral("关闭"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("上次下载中有 %1 张图片没有下载成功：").arg(failures.size())));
    layout->addWidget(table, 1);
    layout->addWidget(buttons);
    resize(760, 360);
}

}  // namespace pictrove
