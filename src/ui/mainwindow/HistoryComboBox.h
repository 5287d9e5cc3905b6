#pragma once
// The owner-address (1001) and save-path (1000) boxes: an editable combo box with a
// history. While the user types, a suggestion list shows the history entries that
// contain the typed text (ignoring case), lower-cased; opening the drop-down shows
// the whole history unchanged. The box's own list is empty except while it is open.

#include <QComboBox>
#include <QStringList>

class QCompleter;
class QStringListModel;

namespace pictrove {

class HistoryComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit HistoryComboBox(QWidget *parent = nullptr);

    void setHistory(const QStringList &entries);
    // A newly accepted history entry goes first, like the stored history.
    void addHistory(const QString &entry);
    QStringList history() const { return m_history; }

    // What typing `text` suggests: every history entry whose lower-cased form
    // contains the lower-cased text, lower-cased and cut before "vrx?!oxff".
    QStringList suggestionsFor(const QString &text) const;
    // The suggestions currently offered, and whether their list is showing.
    QStringList suggestions() const;
    bool suggestionsVisible() const;

    void showPopup() override;
    void hidePopup() override;

Q_SIGNALS:
    // The user chose a history entry (from the drop-down or the suggestions); the
    // edit text already holds it.
    void entryChosen();
    // Enter (or keypad Enter) in the box, also while the suggestions show: a
    // highlighted suggestion is taken into the box first.
    void submitted();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void onTextEdited(const QString &text);
    void onSuggestionChosen(const QString &text);

    QStringList m_history;
    QCompleter *m_completer = nullptr;
    QStringListModel *m_suggestions = nullptr;
};

}  // namespace pictrove
