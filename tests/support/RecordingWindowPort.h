#pragma once
// A WindowPort for tests: remembers every control's text and state, records messages
// and grid calls, and answers questions and selections from values the test sets.
// Thread-safe, since the engine calls it from its worker threads.

#include "sources/WindowPort.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QStringList>

#include <mutex>

class RecordingWindowPort : public WindowPort {
public:
    QString text(int id) override;
    void setText(int id, const QString &text) override;
    void setEnabled(int id, bool enabled) override;
    void setVisible(int id, bool visible) override;
    bool isChecked(int id) override;
    void setChecked(int id, bool checked) override;
    int currentIndex(int id) override;
    void setCurrentIndex(int id, int index) override;
    void setItems(int id, const QStringList &items) override;
    void addHistoryItem(int id, const QString &entry) override;
    void showMessage(const QString &text, const QString &caption = QString()) override;
    bool askYesNo(const QString &text) override;
    void addAlbumRow(int index) override;
    void refreshGrid() override;
    QList<int> selectedAlbums() override;
    void openFolderOrAddress(const QString &target) override;

    // What the engine did, for assertions (copies, taken under the lock).
    QStringList messages() const;
    QStringList questions() const;
    QStringList textsOf(int id) const;  // every text ever set on `id`, in order
    QList<int> rows() const;
    QStringList opened() const;
    QStringList historyOf(int id) const;
    QStringList itemsOf(int id) const;
    bool enabled(int id) const;  // controls start enabled
    bool visible(int id) const;  // controls start visible
    int refreshCount() const;

    // What the engine will be told.
    void setAnswer(bool yes);
    void setSelection(const QList<int> &albums);

private:
    mutable std::mutex m_mutex;
    QHash<int, QString> m_texts;
    QHash<int, QStringList> m_textHistory;
    QSet<int> m_disabled;
    QSet<int> m_hidden;
    QSet<int> m_checked;
    QHash<int, int> m_indexes;
    QHash<int, QStringList> m_items;
    QHash<int, QStringList> m_history;
    QStringList m_messages;
    QStringList m_questions;
    QList<int> m_rows;
    QStringList m_opened;
    int m_refreshes = 0;
    bool m_answer = false;
    QList<int> m_selection;
};
