#pragma once
// The albums of the last acquisition, owned by value. The list thread appends while
// the GUI thread paints rows and the download driver reads, so every access takes
// the list's lock and hands out copies: nothing a reader holds can change under it.

#include "sources/AlbumRecord.h"

#include <QHash>
#include <QList>
#include <QSet>

#include <mutex>

namespace pictrove {

class AlbumList {
public:
    int size() const;
    bool isEmpty() const { return size() == 0; }
    // A copy of the record at `index`; a default record when out of range.
    AlbumRecord at(int index) const;
    QList<AlbumRecord> all() const;

    void clear();
    // Makes `record.name` unique among the names already listed ("%s (%u)"),
    // sets position and thumbnail, appends it and returns the new size.
    int appendUnique(AlbumRecord record);
    void setImage(int index, int image);

private:
    mutable std::mutex m_mutex;
    QList<AlbumRecord> m_records;
    QSet<QString> m_names;  // keeps the uniqueness test cheap for long lists
    // Per name base, the lowest counter that may still be free: names are only added
    // until clear(), so every counter below it stays taken, and thousands of albums of
    // one name cost one probe each instead of one per earlier album.
    QHash<QString, uint> m_nextCounter;
};

}  // namespace pictrove
