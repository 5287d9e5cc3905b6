#pragma once
// 文件名设置: the modal dialog that edits one source type's file-name rules (prefixes,
// suffixes, find/replace, the file-name and album-folder choices). 确 定 stores the
// input into the record, every text cut to 38 characters; saving "soft.dat" is the
// caller's job after accept. The link 前后缀说明 explains prefixes and the digit escapes,
// 发布信息转义 the letter escapes of a post; under the fields a live example shows what
// the rules on screen make of a sample picture.

#include "settings/SettingsBlock.h"

#include <QDialog>

#include <functional>

class QButtonGroup;
class QLabel;
class QLineEdit;

namespace pictrove {


class FileNameRulesDialog : public QDialog {
    Q_OBJECT
public:
    FileNameRulesDialog(NameRules &record, QWidget *parent = nullptr);

    // The edit of a control id (1000..1003, 1021, 1022), for tests and screenshots.
    QLineEdit *field(int id) const;

    // Shows the help text of 前后缀说明 as an information box; the window routes it to
    // its shell, a plain message box otherwise.
    std::function<void(const QString &)> showMessage;

    void showHelp();
    void showPostEscapeHelp();

    // "相册/文件名" of the sample picture under the rules as they stand on screen.
    QString exampleName() const;

private:
    NameRules rulesOnScreen() const;
    void updateExample();
    void onOk();

    NameRules &m_record;
    QLineEdit *m_filePrefix = nullptr;
    QLineEdit *m_fileSuffix = nullptr;
    QLineEdit *m_find = nullptr;
    QLineEdit *m_replace = nullptr;
    QLineEdit *m_folderPrefix = nullptr;
    QLineEdit *m_folderSuffix = nullptr;
    QButtonGroup *m_fileBase = nullptr;
    QButtonGroup *m_folderBase = nullptr;
    QLabel *m_example = nullptr;
};

}  // namespace pictrove
