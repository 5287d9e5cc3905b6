#pragma once
// The window as a terminal sees it. Control texts are kept in memory (the engine reads
// back the address and the save path from them); status lines and messages go to
// stderr, one line each, or, on a terminal, become one live progress line; questions
// are answered No; the grid's selection is what --albums chose.

#include "sources/WindowPort.h"

#include <QElapsedTimer>
#include <QHash>
#include <QSet>

#include <cstdio>
#include <mutex>

class CliWindowPort : public WindowPort {
public:
    explicit CliWindowPort(FILE *err = stderr);

    QString text(int id) override;
    void setText(int id, const QString &text) override;
    void setEnabled(int, bool) override {}
    void setVisible(int, bool) override {}
    bool isChecked(int id) override;
    void setChecked(int id, bool checked) override;
    int currentIndex(int id) override;
    void setCurrentIndex(int id, int index) override;
    void setItems(int, const QStringList &) override {}
    void addHistoryItem(int, const QString &) override {}
    void showMessage(const QString &text, const QString &caption = QString()) override;
    bool askYesNo(const QString &text) override;
    void addAlbumRow(int) override {}
    void refreshGrid() override {}
    QList<int> selectedAlbums() override;
    void openFolderOrAddress(const QString &target) override;

    void setSelection(const QList<int> &albums);
    QStringList messages() const;
    // The last folder the engine asked to open (the last album walked), or empty.
    QString openedFolder() const;
    // Ends a live progress line so the next output starts on a fresh line.
    void finishLine();

private:
    void printLine(const QString &line);
    void drawProgress();

    FILE *m_err;
    const bool m_live;  // stderr is a terminal
    mutable std::mutex m_mutex;
    QHash<int, QString> m_texts;
    QSet<int> m_checked;
    QHash<int, int> m_indexes;
    QList<int> m_selection;
    QStringList m_messages;
    QString m_opened;
    bool m_lineOpen = false;
    QElapsedTimer m_clock;
};
