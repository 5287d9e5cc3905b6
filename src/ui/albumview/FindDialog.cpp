#include "ui/albumview/FindDialog.h"

#include "grid/AlbumGrid.h"
#include "ui/albumview/GridFind.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace pictrove {

namespace {

constexpr int kKeywordId = 1639;
constexpr int kCaseId = 1033;
constexpr int kWholeId = 1034;
constexpr int kPreviousId = 1701;
constexpr int kNextId = 1006;
constexpr int kCloseId = 1699;

QString idName(int id)
{
    return QStringLiteral("ctl%1").arg(id);
}

}  // namespace

FindDialog::FindDialog(Mode mode, QWidget *owner)
    : QDialog(owner, (mode == FindMode ? Qt::Tool : Qt::Dialog) | Qt::FramelessWindowHint)
    , m_mode(mode)
{
    setObjectName(mode == FindMode ? QStringLiteral("findDialog") : QStringLiteral("filterDialog"));
    setWindowTitle(QStringLiteral("相册搜索"));

    auto *title = new QLabel(QStringLiteral("相册搜索"));
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    auto *close = new QToolButton;
    close->setObjectName(idName(kCloseId));
    close->setText(QStringLiteral("×"));
    close->setAutoRaise(true);
    auto *top = new QHBoxLayout;
    top->addWidget(title);
    top->addStretch();
    top->addWidget(close);

    m_keyword = new QLineEdit;
    m_keyword->setObjectName(idName(kKeywordId));
    m_caseSensitive = new QCheckBox(QStringLiteral("区分大小写"));
    m_caseSensitive->setObjectName(idName(kCaseId));
    m_wholeCell = new QCheckBox(QStringLiteral("全字匹配"));
    m_wholeCell->setObjectName(idName(kWholeId));
    m_previous = new QPushButton(QStringLiteral("上一个"));
    m_previous->setObjectName(idName(kPreviousId));
    m_previous->setAutoDefault(false);
    m_next = new QPushButton(mode == FindMode ? QStringLiteral("下一个") : QStringLiteral("筛选"));
    m_next->setObjectName(idName(kNextId));
    m_next->setDefault(true);

    auto *fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("关键字:")), 0, 0);
    fields->addWidget(m_keyword, 0, 1, 1, 2);
    fields->addWidget(m_caseSensitive, 1, 1);
    fields->addWidget(m_wholeCell, 1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_previous);
    buttons->addWidget(m_next);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 6, 6, 10);
    layout->addLayout(top);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    if (mode == FilterMode) {
        m_caseSensitive->hide();
        m_wholeCell->hide();
        m_previous->hide();
        connect(m_next, &QPushButton::clicked, this, &QDialog::accept);
        connect(close, &QToolButton::clicked, this, &QDialog::reject);
    } else {
        connect(m_next, &QPushButton::clicked, this, [this] { findStep(true); });
        connect(m_previous, &QPushButton::clicked, this, [this] { findStep(false); });
        connect(close, &QToolButton::clicked, this, &FindDialog::dismiss);
    }
    setFixedSize(sizeHint().expandedTo(QSize(240, 0)));
}

QString FindDialog::keyword() const
{
    return m_keyword->text().trimmed();
}

void FindDialog::attach(AlbumGrid *grid)
{
    m_grid = grid;
    if (m_grid)
        m_grid->setSingleRowSelection(true);
    show();
    centreOverOwner();
    raise();
    activateWindow();
    m_keyword->setFocus();
}

void FindDialog::dismiss()
{
    hide();
    if (m_grid)
        m_grid->setSingleRowSelection(false);
}

int FindDialog::findStep(bool forward)
{
    const QString wanted = keyword();
    if (wanted.isEmpty()) {
        if (showMessage)
            showMessage(QStringLiteral("关键字不能为空"));
        return -1;
    }
    if (!m_grid)
        return -1;
    FindOptions options;
    options.forward = forward;
    options.caseSensitive = m_caseSensitive->isChecked();
    options.wholeCell = m_wholeCell->isChecked();
    return findAndSelect(*m_grid, wanted, options);
}

void FindDialog::centreOverOwner()
{
    const QWidget *owner = parentWidget();
    if (!owner)
        return;
    QRect placed(QPoint(0, 0), size());
    placed.moveCenter(owner->frameGeometry().center());
    move(placed.topLeft());
}

void FindDialog::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void FindDialog::mousePressEvent(QMouseEvent *event)
{
    // Without a caption bar the whole body is the handle.
    if (event->button() == Qt::LeftButton)
        m_dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
    QDialog::mousePressEvent(event);
}

void FindDialog::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton)
        move(event->globalPosition().toPoint() - m_dragOffset);
    QDialog::mouseMoveEvent(event);
}

void FindDialog::keyPressEvent(QKeyEvent *event)
{
    // Esc in find mode hides like ×; QDialog's default would only reject.
    if (m_mode == FindMode && event->key() == Qt::Key_Escape) {
        dismiss();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace pictrove
