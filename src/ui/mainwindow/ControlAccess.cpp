#include "ui/mainwindow/ControlAccess.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

namespace pictrove {

QString controlText(const QWidget *control)
{
    if (const auto *combo = qobject_cast<const QComboBox *>(control))
        return combo->currentText();
    if (const auto *button = qobject_cast<const QAbstractButton *>(control))
        return button->text();
    if (const auto *label = qobject_cast<const QLabel *>(control))
        return label->text();
    if (const auto *group = qobject_cast<const QGroupBox *>(control))
        return group->title();
    if (const auto *edit = qobject_cast<const QLineEdit *>(control))
        return edit->text();
    return QString();
}

void setControlText(QWidget *control, const QString &text)
{
    if (auto *combo = qobject_cast<QComboBox *>(control)) {
        if (combo->isEditable())
            combo->setEditText(text);
        else
            combo->setCurrentIndex(combo->findText(text));
    } else if (auto *button = qobject_cast<QAbstractButton *>(control)) {
        button->setText(text);
    } else if (auto *label = qobject_cast<QLabel *>(control)) {
        label->setText(text);
    } else if (auto *group = qobject_cast<QGroupBox *>(control)) {
        group->setTitle(text);
    } else if (auto *edit = qobject_cast<QLineEdit *>(control)) {
        edit->setText(text);
    }
}

bool controlChecked(const QWidget *control)
{
    const auto *button = qobject_cast<const QAbstractButton *>(control);
    return button && button->isChecked();
}

void setControlChecked(QWidget *control, bool checked)
{
    if (auto *button = qobject_cast<QAbstractButton *>(control))
        button->setChecked(checked);
}

int controlIndex(const QWidget *control)
{
    const auto *combo = qobject_cast<const QComboBox *>(control);
    return combo ? combo->currentIndex() : -1;
}

// Programmatic changes do not count as the user's choice: the handlers that react to
// a selection listen to `activated`, which only the user triggers.
void setControlIndex(QWidget *control, int index)
{
    if (auto *combo = qobject_cast<QComboBox *>(control))
        combo->setCurrentIndex(index < combo->count() ? index : -1);
}

void setControlItems(QWidget *control, const QStringList &items)
{
    if (auto *combo = qobject_cast<QComboBox *>(control)) {
        const QSignalBlocker quiet(combo);
        combo->clear();
        combo->addItems(items);
    }
}

}  // namespace pictrove
