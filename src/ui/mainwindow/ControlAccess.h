#pragma once
// Reading and changing a main-window control by what it shows (text, checked,
// current entry...), whatever kind of widget it is. GUI thread only.

#include <QString>
#include <QStringList>

class QWidget;

namespace pictrove {

QString controlText(const QWidget *control);
void setControlText(QWidget *control, const QString &text);
bool controlChecked(const QWidget *control);
void setControlChecked(QWidget *control, bool checked);
int controlIndex(const QWidget *control);
void setControlIndex(QWidget *control, int index);
void setControlItems(QWidget *control, const QStringList &items);

}  // namespace pictrove
