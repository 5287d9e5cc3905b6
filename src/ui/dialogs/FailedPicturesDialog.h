#pragma once
// 失败列表: the pictures of the last download that did not arrive (album, address,
// reason), with one button to fetch just those again.

#include <QDialog>
#include <QList>
#include <QString>

namespace pictrove {

struct FailedPicture {
    int album = -1;  // index into the album list
    QString albumName;
    QString address;
    QString reason;
};

class FailedPicturesDialog : public QDialog {
    Q_OBJECT
public:
    FailedPicturesDialog(const QList<FailedPicture> &failures, QWidget *parent);
    // Accepted: the user asked to retry them.
};

}  // namespace pictrove
