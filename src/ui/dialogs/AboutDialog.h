#pragma once
// 关于: the About box (program icon, version line, the program's own line) shown by
// 版本信息 in the help menu and by the window's 关于 entry.

#include <QDialog>

namespace pictrove {

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget *parent = nullptr);
};

}  // namespace pictrove
