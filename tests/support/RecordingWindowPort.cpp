#include "support/RecordingWindowPort.h"

#define LOCKED std::lock_guard lock(m_mutex)

QString RecordingWindowPort::text(int id) { LOCKED; return m_texts.value(id); }
void RecordingWindowPort::setText(int id, const QString &text)
{
    LOCKED;
    m_texts[id] = text;
    m_textHistory[id].append(text);
}
void RecordingWindowPort::setEnabled(int id, bool enabled)
{
    LOCKED;
    if (enabled)
        m_disabled.remove(id);
    else
        m_disabled.insert(id);
}
void RecordingWindowPort::setVisible(int id, bool visible)
{
    LOCKED;
    if (visible)
        m_hidden.remove(id);
    else
        m_hidden.insert(id);
}
bool RecordingWindowPort::isChecked(int id) { LOCKED; return m_checked.contains(id); }
void RecordingWindowPort::setChecked(int id, bool checked)
{
    LOCKED;
    if (checked)
        m_checked.insert(id);
    else
        m_checked.remove(id);
}
int RecordingWindowPort::currentIndex(int id) { LOCKED; return m_indexes.value(id, -1); }
void RecordingWindowPort::setCurrentIndex(int id, int index) { LOCKED; m_indexes[id] = index; }
void RecordingWindowPort::setItems(int id, const QStringList &items) { LOCKED; m_items[id] = items; }
void RecordingWindowPort::addHistoryItem(int id, const QString &entry) { LOCKED; m_history[id].append(entry); }
void RecordingWindowPort::showMessage(const QString &text, const QString &) { LOCKED; m_messages.append(text); }
bool RecordingWindowPort::askYesNo(const QString &text)
{
    LOCKED;
    m_questions.append(text);
    return m_answer;
}
void RecordingWindowPort::addAlbumRow(int index) { LOCKED; m_rows.append(index); }
void RecordingWindowPort::refreshGrid() { LOCKED; ++m_refreshes; }
QList<int> RecordingWindowPort::selectedAlbums() { LOCKED; return m_selection; }
void RecordingWindowPort::openFolderOrAddress(const QString &target) { LOCKED; m_opened.append(target); }

QStringList RecordingWindowPort::messages() const { LOCKED; return m_messages; }
QStringList RecordingWindowPort::questions() const { LOCKED; return m_questions; }
QStringList RecordingWindowPort::textsOf(int id) const { LOCKED; return m_textHistory.value(id); }
QList<int> RecordingWindowPort::rows() const { LOCKED; return m_rows; }
QStringList RecordingWindowPort::opened() const { LOCKED; return m_opened; }
QStringList RecordingWindowPort::historyOf(int id) const { LOCKED; return m_history.value(id); }
QStringList RecordingWindowPort::itemsOf(int id) const { LOCKED; return m_items.value(id); }
bool RecordingWindowPort::enabled(int id) const { LOCKED; return !m_disabled.contains(id); }
bool RecordingWindowPort::visible(int id) const { LOCKED; return !m_hidden.contains(id); }
int RecordingWindowPort::refreshCount() const { LOCKED; return m_refreshes; }
void RecordingWindowPort::setAnswer(bool yes) { LOCKED; m_answer = yes; }
void RecordingWindowPort::setSelection(const QList<int> &albums) { LOCKED; m_selection = albums; }
