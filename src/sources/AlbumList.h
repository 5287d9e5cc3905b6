#pragma once
// The albums of the last acquisition, owned by value. The list thread appends while
// the GUI thread paints rows and the download driver reads, so every access takes
// the list's lock and hands out copies: nothing a reader holds can change under it.

#include "sources/AlbumRecord.h"

#include <QList>
#include <QSet>

#include <mutex>

class AlbumList {
public:
    int size() const;
    bool isEmpty() const { return size() == 0; }
    // A copy of the record at `index`; a default record when out of range.
    ST_PERLISTRECORD at(int index) const;
    QList<ST_PERLISTRECORD> all() const;

    void clear();
    // Makes `record.strName` unique among the names already listed ("%s (%u)"),
    // sets nIndex and nImage, appends it and returns the new size.
    int appendUnique(ST_PERLISTRECORD record);
    void setImage(int index, int image);

private:
    mutable std::mutex m_mutex;
    QList<ST_PERLISTRECORD> m_records;
    QSet<QString> m_names;  // keeps the uniqueness test cheap for long lists
};
