#include "ui/mainwindow/HistoryComboBox.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStringListModel>
#include <QTimer>

namespace pictrove {

namespace {

// Entries may carry private data after this marker; it is never offered.
const QString kHiddenTail = QStringLiteral("vrx?!oxff");

}  // namespace

HistoryComboBox::HistoryComboBox(QWidget *parent)
    : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // The suggestions come from our own completer; the box's built-in one would
    // complete inline from the (mostly empty) item list.
    setCompleter(nullptr);

    m_suggestions = new QStringListModel(this);
    m_completer = new QCompleter(m_suggestions, this);
    m_completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    m_completer->setCaseSensitivity(Qt::CaseInsensitive);
    // Attached by widget only: the line edit must not run its own completion on each
    // key, our filter decides what is offered.
    m_completer->setWidget(lineEdit());

    connect(lineEdit(), &QLineEdit::textEdited, this, &HistoryComboBox::onTextEdited);
    connect(m_completer, qOverload<const QString &>(&QCompleter::activated), this,
            &HistoryComboBox::onSuggestionChosen);
    connect(this, &QComboBox::activated, this, [this] { Q_EMIT entryChosen(); });
    connect(lineEdit(), &QLineEdit::returnPressed, this, &HistoryComboBox::submitted);
    // Ahead of the completer's own filter, which would take Enter for itself.
    m_completer->popup()->installEventFilter(this);
}

bool HistoryComboBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_completer->popup() && event->type() == QEvent::MouseButtonPress) {
        // A click beside the open suggestions closes them and would be lost with them:
        // a button clicked there (获取相册 above all) gets its click all the same.
        const QPoint at = static_cast<QMouseEvent *>(event)->globalPosition().toPoint();
        if (!m_completer->popup()->rect().contains(m_completer->popup()->mapFromGlobal(at))) {
            m_completer->popup()->hide();
            if (auto *button = qobject_cast<QAbstractButton *>(QApplication::widgetAt(at))) {
                if (button->isEnabled())
                    QTimer::singleShot(0, button, &QAbstractButton::click);
            }
            return true;
        }
    }
    if (watched == m_completer->popup() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            const QModelIndex highlighted = m_completer->popup()->currentIndex();
            if (highlighted.isValid())
                onSuggestionChosen(highlighted.data().toString());
            m_completer->popup()->hide();
            Q_EMIT submitted();
            return true;
        }
    }
    return QComboBox::eventFilter(watched, event);
}

void HistoryComboBox::setHistory(const QStringList &entries)
{
    m_history = entries;
}

void HistoryComboBox::addHistory(const QString &entry)
{
    m_history.prepend(entry);
}

QStringList HistoryComboBox::suggestionsFor(const QString &text) const
{
    QStringList matches;
    const QString typed = text.toLower();
    for (const QString &entry : m_history) {
        QString lower = entry.toLower();
        if (!lower.contains(typed))
            continue;
        const qsizetype tail = lower.indexOf(kHiddenTail);
        if (tail >= 0)
            lower.truncate(tail);
        matches.append(lower);
    }
    return matches;
}

QStringList HistoryComboBox::suggestions() const
{
    return m_suggestions->stringList();
}

bool HistoryComboBox::suggestionsVisible() const
{
    return m_completer->popup()->isVisible();
}

void HistoryComboBox::onTextEdited(const QString &text)
{
    if (text.isEmpty()) {
        m_suggestions->setStringList({});
        m_completer->popup()->hide();
        return;
    }
    const QStringList matches = suggestionsFor(text);
    m_suggestions->setStringList(matches);
    if (matches.isEmpty()) {
        m_completer->popup()->hide();
        return;
    }
    // Every match is offered, whatever its prefix: the filter above already chose.
    m_completer->setCompletionPrefix(QString());
    m_completer->complete();
}

void HistoryComboBox::onSuggestionChosen(const QString &text)
{
    lineEdit()->setText(text);
    Q_EMIT entryChosen();
}

void HistoryComboBox::showPopup()
{
    const QString typed = currentText();
    m_completer->popup()->hide();
    clear();
    addItems(m_history);
    setCurrentIndex(-1);
    setEditText(typed);
    QComboBox::showPopup();
}

void HistoryComboBox::hidePopup()
{
    QComboBox::hidePopup();
    // Emptied on the next turn: a click on an entry hides the list first and only
    // then selects the entry, which must still be there.
    QTimer::singleShot(0, this, [this] {
        if (view()->isVisible())
            return;
        const QString text = currentText();
        clear();
        setEditText(text);
    });
}

}  // namespace pictrove
