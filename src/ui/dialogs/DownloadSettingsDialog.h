#pragma once
// 下载参数设置: the modal dialog that edits one source type's download parameters
// (threads, time-out, smallest and largest picture) and, when given them, the media
// options of every download (live photos' moving parts, videos). It changes the
// records only when 确 定 accepts valid input; saving "soft.dat" and "media.ini" is
// the caller's job after accept. Given the post record options too, it shows them
// (the post time as the files' time, the album's "pictrove.jsonl"); "post.ini" is
// likewise the caller's to save.

#include <QDialog>

#include <functional>

class QCheckBox;
class QLineEdit;

namespace pictrove {

struct DownloadParams;
struct MediaOptions;
struct PostRecordOptions;

class DownloadSettingsDialog : public QDialog {
    Q_OBJECT
public:
    // Without `media` the dialog shows no media options.
    DownloadSettingsDialog(DownloadParams &record, QWidget *parent = nullptr, MediaOptions *media = nullptr,
                           PostRecordOptions *post = nullptr);

    // The field of a control id (1000..1003), for tests and screenshots.
    QLineEdit *field(int id) const;
    // The media options' check boxes (control ids 1004, 1005); null without them.
    QCheckBox *liveMotionBox() const { return m_liveMotion; }
    QCheckBox *videosBox() const { return m_videos; }
    // The post record options' check boxes (control ids 1006, 1007); null without them.
    QCheckBox *postTimeBox() const { return m_postTime; }
    QCheckBox *sidecarBox() const { return m_sidecar; }

    // Tells the user the input was refused ("参数错误"); the window routes it to its
    // shell, a plain message box otherwise.
    std::function<void(const QString &)> showMessage;

private:
    void onOk();

    DownloadParams &m_record;
    QLineEdit *m_threads = nullptr;
    QLineEdit *m_timeout = nullptr;
    QLineEdit *m_minKB = nullptr;
    QLineEdit *m_maxKB = nullptr;
    MediaOptions *m_media = nullptr;
    QCheckBox *m_liveMotion = nullptr;
    QCheckBox *m_videos = nullptr;
    PostRecordOptions *m_post = nullptr;
    QCheckBox *m_postTime = nullptr;
    QCheckBox *m_sidecar = nullptr;
};

}  // namespace pictrove
