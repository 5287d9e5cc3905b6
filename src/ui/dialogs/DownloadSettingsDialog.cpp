#include "ui/dialogs/DownloadSettingsDialog.h"

#include "settings/MediaOptions.h"
#include "settings/PostRecordOptions.h"
#include "settings/SettingsBlock.h"
#include "settings/SettingsValidation.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace pictrove {

namespace {

QLineEdit *numberField(int id, int value)
{
    auto *field = new QLineEdit(QString::number(value));
    field->setObjectName(QStringLiteral("ctl%1").arg(id));
    return field;
}

}  // namespace

DownloadSettingsDialog::DownloadSettingsDialog(DownloadParams &record, QWidget *parent, MediaOptions *media,
                                               PostRecordOptions *post)
    : QDialog(parent)
    , m_record(record)
    , m_media(media)
    , m_post(post)
{
    setWindowTitle(QStringLiteral("设置"));
    setModal(true);

    m_threads = numberField(1002, record.threads);
    m_timeout = numberField(1003, record.timeoutSeconds);
    m_minKB = numberField(1000, record.minKB);
    m_maxKB = numberField(1001, record.maxKB);

    auto *group = new QGroupBox(QStringLiteral("下载参数设置"));
    auto *form = new QFormLayout(group);
    form->addRow(QStringLiteral("线程数(1~15)："), m_threads);
    form->addRow(QStringLiteral("超时(S, >=10)："), m_timeout);
    form->addRow(QStringLiteral("图片最小值(K)："), m_minKB);
    form->addRow(QStringLiteral("图片最大值(K)："), m_maxKB);

    auto *ok = new QPushButton(QStringLiteral("确 定"));
    ok->setObjectName(QStringLiteral("ctl1023"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &DownloadSettingsDialog::onOk);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);
    if (media) {
        m_liveMotion = new QCheckBox(QStringLiteral("保存实况照片的动态部分(.mov)"));
        m_liveMotion->setObjectName(QStringLiteral("ctl1004"));
        m_liveMotion->setChecked(media->liveMotion);
        m_videos = new QCheckBox(QStringLiteral("保存微博视频(.mp4)"));
        m_videos->setObjectName(QStringLiteral("ctl1005"));
        m_videos->setChecked(media->videos);
        auto *mediaGroup = new QGroupBox(QStringLiteral("图片以外"));
        auto *mediaLayout = new QVBoxLayout(mediaGroup);
        mediaLayout->addWidget(m_liveMotion);
        mediaLayout->addWidget(m_videos);
        layout->addWidget(mediaGroup);
    }
    if (post) {
        m_postTime = new QCheckBox(QStringLiteral("文件时间设为发布时间"));
        m_postTime->setObjectName(QStringLiteral("ctl1006"));
        m_postTime->setChecked(post->postTimeAsFileTime);
        m_postTime->setToolTip(QString::fromUtf16(kPostTimeOptionHelp));
        m_sidecar = new QCheckBox(QStringLiteral("每个相册写发布信息文件(pictrove.jsonl)"));
        m_sidecar->setObjectName(QStringLiteral("ctl1007"));
        m_sidecar->setChecked(post->sidecar);
        m_sidecar->setToolTip(QString::fromUtf16(kSidecarOptionHelp));
        auto *postGroup = new QGroupBox(QStringLiteral("发布信息"));
        auto *postLayout = new QVBoxLayout(postGroup);
        postLayout->addWidget(m_postTime);
        postLayout->addWidget(m_sidecar);
        layout->addWidget(postGroup);
    }
    layout->addLayout(buttons);
    resize(294, 223 + (media ? 70 : 0) + (post ? 70 : 0));
}

QLineEdit *DownloadSettingsDialog::field(int id) const
{
    switch (id) {
    case 1000: return m_minKB;
    case 1001: return m_maxKB;
    case 1002: return m_threads;
    case 1003: return m_timeout;
    default: return nullptr;
    }
}

void DownloadSettingsDialog::onOk()
{
    const std::optional<DownloadParams> params =
        validateDownloadParams({m_threads->text(), m_timeout->text(), m_minKB->text(), m_maxKB->text()});
    if (!params) {
        const QString message = QString::fromUtf16(kInvalidParamsMessage);
        if (showMessage)
            showMessage(message);
        else
            QMessageBox::warning(this, QStringLiteral("Pictrove"), message);
        return;
    }
    m_record = *params;
    if (m_media) {
        m_media->liveMotion = m_liveMotion->isChecked();
        m_media->videos = m_videos->isChecked();
    }
    if (m_post) {
        m_post->postTimeAsFileTime = m_postTime->isChecked();
        m_post->sidecar = m_sidecar->isChecked();
    }
    accept();
}

}  // namespace pictrove
