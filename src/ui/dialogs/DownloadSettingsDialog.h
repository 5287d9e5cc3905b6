#pragma once
// 下载参数设置: the modal dialog that edits one source type's download parameters
// (threads, time-out, smallest and largest picture). It changes the record only when
// 确 定 accepts valid input; saving "soft.dat" is the caller's job after accept.

#include <QDialog>

#include <functional>

class QLineEdit;

namespace pictrove {

struct DownloadParams;

class DownloadSettingsDialog : public QDialog {
    Q_OBJECT
public:
    DownloadSettingsDialog(DownloadParams &record, QWidget *parent = nullptr);

    // The field of a control id (1000..1003), for tests and screenshots.
    QLineEdit *field(int id) const;

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
};

}  // namespace pictrove
