#include "sources/AlbumList.h"

namespace pictrove {

int AlbumList::size() const
{
    std::lock_guard lock(m_mutex);
    return int(m_records.size());
}

AlbumRecord AlbumList::at(int index) const
{
    std::lock_guard lock(m_mutex);
    if (index < 0 || index >= m_records.size())
        return {};
    return m_records.at(index);
}

QList<AlbumRecord> AlbumList::all() const
{
    std::lock_guard lock(m_mutex);
    return m_records;
}

void AlbumList::clear()
{
    std::lock_guard lock(m_mutex);
    m_records.clear();
    m_names.clear();
    m_nextCounter.clear();
}

int AlbumList::appendUnique(AlbumRecord record)
{
    std::lock_guard lock(m_mutex);
    const QString base = record.name;
    if (m_names.contains(record.name)) {
        uint counter = m_nextCounter.value(base, 1);
        do
            record.name = QStringLiteral("%1 (%2)").arg(base).arg(counter++);
        while (m_names.contains(record.name));
        m_nextCounter.insert(base, counter);
    }
    record.position = int32_t(m_records.size());
    record.thumbnail = -1;
    m_names.insert(record.name);
    m_records.append(std::move(record));
    return int(m_records.size());
}

void AlbumList::setImage(int index, int image)
{
    std::lock_guard lock(m_mutex);
    if (index >= 0 && index < m_records.size())
        m_records[index].thumbnail = image;
}

}  // namespace pictrove
