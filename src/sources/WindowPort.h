#pragma once
// The one way engine code reaches "the window": control texts and states by id,
// message boxes, the album grid and the shell. The desktop program implements it by
// queuing every call onto the GUI thread (blocking where an answer is needed), the
// CLI prints, tests record. Every method may be called from any thread.

#include "sources/ControlIds.h"

#include <QList>
#include <QString>
#include <QStringList>

class WindowPort {
public:
    virtual ~WindowPort() = default;

    virtual QString text(int id) = 0;
    virtual void setText(int id, const QString &text) = 0;
    virtual void setEnabled(int id, bool enabled) = 0;
    virtual void setVisible(int id, bool visible) = 0;
    virtual bool isChecked(int id) = 0;
    virtual void setChecked(int id, bool checked) = 0;

    // Drop-down lists (1002, 1035): current entry, and replacing the entries.
    virtual int currentIndex(int id) = 0;
    virtual void setCurrentIndex(int id, int index) = 0;
    virtual void setItems(int id, const QStringList &items) = 0;

    // A history entry accepted by addHistory joins the suggestions of combo 1000 or 1001.
    virtual void addHistoryItem(int id, const QString &entry) = 0;

    // A message box; returns once the user has dismissed it. An empty caption means
    // the program's name.
    virtual void showMessage(const QString &text, const QString &caption = QString()) = 0;
    // A Yes/No question with the caption "提示"; true for Yes.
    virtual bool askYesNo(const QString &text) = 0;

    // Album grid: show the record at position `index` of the album list, refresh and
    // repaint after a list fetch, and the chosen albums as album-list positions in the
    // order the download walks them.
    virtual void addAlbumRow(int index) = 0;
    virtual void refreshGrid() = 0;
    virtual QList<int> selectedAlbums() = 0;

    // Opens a folder in the file browser or an address in the web browser.
    virtual void openFolderOrAddress(const QString &target) = 0;
};
