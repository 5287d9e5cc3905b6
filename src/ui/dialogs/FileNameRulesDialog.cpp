#include "ui/dialogs/FileNameRulesDialog.h"

#include "download/AlbumQueue.h"
#include "download/FileNaming.h"
#include "settings/SettingsBlock.h"
#include "settings/SettingsValidation.h"
#include "ui/mainwindow/LinkLabel.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace pictrove {

namespace {

QLineEdit *nameField(int id, const QString &text)
{
    auto *field = new QLineEdit(text);
    field->setObjectName(QStringLiteral("ctl%1").arg(id));
    return field;
}

// Radio buttons of one group, ids and captions in order; the button with `value`'s
// position is checked (none when the stored value is out of range).
QButtonGroup *radioGroup(QWidget *owner, QHBoxLayout *row, std::initializer_list<std::pair<int, const char16_t *>> buttons,
                         int value)
{
    auto *group = new QButtonGroup(owner);
    int position = 0;
    for (const auto &[id, caption] : buttons) {
        auto *radio = new QRadioButton(QString::fromUtf16(caption));
        radio->setObjectName(QStringLiteral("ctl%1").arg(id));
        group->addButton(radio, position);
        radio->setChecked(position == value);
        row->addWidget(radio);
        ++position;
    }
    return group;
}

// The picture the live example is named after: the second picture of a dated Weibo post
// in the third album of a list.
PictureNaming samplePictureNaming()
{
    PictureNaming sample;
    sample.picture.address = QStringLiteral("https://wx1.sinaimg.cn/large/006abc.jpg");
    sample.picture.title = QStringLiteral("海边");
    sample.picture.postId = QStringLiteral("4999999999999999");
    sample.picture.pictureId = QStringLiteral("006abc");
    sample.picture.postTime = 1706716799;  // 2024-01-31 23:59:59 in Beijing
    sample.sequence = 5;
    sample.numberInPost = 2;
    sample.album.name = QStringLiteral("旅行");
    sample.album.position = 2;
    sample.selectedAlbumCount = 3;
    sample.albumCount = 12;
    sample.ownerName = QStringLiteral("用户");
    sample.ownerId = QStringLiteral("1234567890");
    return sample;
}

}  // namespace

FileNameRulesDialog::FileNameRulesDialog(NameRules &record, QWidget *parent)
    : QDialog(parent)
    , m_record(record)
{
    setWindowTitle(QStringLiteral("设置"));
    setModal(true);

    m_filePrefix = nameField(1000, record.filePrefix);
    m_fileSuffix = nameField(1001, record.fileSuffix);
    m_find = nameField(1021, record.findText);
    m_replace = nameField(1022, record.replaceText);
    m_folderPrefix = nameField(1002, record.folderPrefix);
    m_folderSuffix = nameField(1003, record.folderSuffix);

    auto *fileGroup = new QGroupBox(QStringLiteral("文件名"));
    auto *fileGrid = new QGridLayout(fileGroup);
    auto *fileRadios = new QHBoxLayout;
    m_fileBase = radioGroup(this, fileRadios, {{1016, u"描述"}, {1017, u"序号"}, {1018, u"网址"}}, record.fileBase);
    fileGrid->addWidget(new QLabel(QStringLiteral("前缀")), 0, 0);
    fileGrid->addWidget(m_filePrefix, 0, 1);
    fileGrid->addLayout(fileRadios, 0, 2);
    fileGrid->addWidget(new QLabel(QStringLiteral("后缀")), 0, 3);
    fileGrid->addWidget(m_fileSuffix, 0, 4);
    auto *replaceRow = new QHBoxLayout;
    replaceRow->addWidget(m_find, 1);
    replaceRow->addWidget(new QLabel(QStringLiteral("替换为")));
    replaceRow->addWidget(m_replace, 1);
    fileGrid->addLayout(replaceRow, 1, 0, 1, 5);

    auto *folderGroup = new QGroupBox(QStringLiteral("相册路径(相册名)"));
    auto *folderGrid = new QGridLayout(folderGroup);
    auto *folderRadios = new QHBoxLayout;
    m_folderBase = radioGroup(this, folderRadios, {{1019, u"相册名"}, {1020, u"无"}}, record.folderBase);
    folderGrid->addWidget(new QLabel(QStringLiteral("前缀")), 0, 0);
    folderGrid->addWidget(m_folderPrefix, 0, 1);
    folderGrid->addLayout(folderRadios, 0, 2);
    folderGrid->addWidget(new QLabel(QStringLiteral("后缀")), 0, 3);
    folderGrid->addWidget(m_folderSuffix, 0, 4);

    m_example = new QLabel;
    m_example->setObjectName(QStringLiteral("ctl1025"));
    m_example->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_example->setWordWrap(true);
    for (QLineEdit *edit : {m_filePrefix, m_fileSuffix, m_find, m_replace, m_folderPrefix, m_folderSuffix})
        connect(edit, &QLineEdit::textChanged, this, &FileNameRulesDialog::updateExample);
    for (QButtonGroup *group : {m_fileBase, m_folderBase})
        connect(group, &QButtonGroup::idToggled, this, &FileNameRulesDialog::updateExample);
    updateExample();

    auto *help = new LinkLabel(QStringLiteral("前后缀说明"));
    help->setObjectName(QStringLiteral("ctl1010"));
    connect(help, &LinkLabel::clicked, this, &FileNameRulesDialog::showHelp);
    auto *postHelp = new LinkLabel(QStringLiteral("发布信息转义"));
    postHelp->setObjectName(QStringLiteral("ctl1024"));
    connect(postHelp, &LinkLabel::clicked, this, &FileNameRulesDialog::showPostEscapeHelp);
    auto *ok = new QPushButton(QStringLiteral("确 定"));
    ok->setObjectName(QStringLiteral("ctl1023"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &FileNameRulesDialog::onOk);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(help);
    bottom->addWidget(postHelp);
    bottom->addStretch();
    bottom->addWidget(ok);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(fileGroup);
    layout->addWidget(folderGroup);
    layout->addWidget(m_example);
    layout->addStretch();
    layout->addLayout(bottom);
    resize(398, 280);
}

QLineEdit *FileNameRulesDialog::field(int id) const
{
    switch (id) {
    case 1000: return m_filePrefix;
    case 1001: return m_fileSuffix;
    case 1002: return m_folderPrefix;
    case 1003: return m_folderSuffix;
    case 1021: return m_find;
    case 1022: return m_replace;
    default: return nullptr;
    }
}

void FileNameRulesDialog::showHelp()
{
    const QString text = prefixSuffixHelpText();
    if (showMessage)
        showMessage(text);
    else
        QMessageBox::information(this, QStringLiteral("Pictrove"), text);
}

void FileNameRulesDialog::showPostEscapeHelp()
{
    const QString text = postEscapeHelpText();
    if (showMessage)
        showMessage(text);
    else
        QMessageBox::information(this, QStringLiteral("Pictrove"), text);
}

NameRules FileNameRulesDialog::rulesOnScreen() const
{
    NameRules rules = m_record;
    NameRuleInput input;
    input.filePrefix = m_filePrefix->text();
    input.fileSuffix = m_fileSuffix->text();
    input.find = m_find->text();
    input.replace = m_replace->text();
    input.folderPrefix = m_folderPrefix->text();
    input.folderSuffix = m_folderSuffix->text();
    input.fileBase = m_fileBase->checkedId();
    input.folderBase = m_folderBase->checkedId();
    storeNameRuleInput(rules, input);
    return rules;
}

QString FileNameRulesDialog::exampleName() const
{
    PictureNaming sample = samplePictureNaming();
    sample.rules = rulesOnScreen();
    AlbumQueue empty;
    const QString file = finalFileName(pictureNameBase(sample), QStringLiteral("/"), empty);
    const QString folder = albumFolderName(sample.album, sample.rules);
    return folder.isEmpty() ? file : folder + QLatin1Char('/') + file;
}

void FileNameRulesDialog::updateExample()
{
    m_example->setText(QStringLiteral("示例：") + exampleName());
}

void FileNameRulesDialog::onOk()
{
    // The texts cut and the choices stored as storeNameRuleInput does; the options stay.
    m_record = rulesOnScreen();
    accept();
}

}  // namespace pictrove
