#include "sources/AlbumList.h"

int AlbumList::size() const
{
    std::lock_guard lock(m_mutex);
    return int(m_records.size());
}

ST_PERLISTRECORD AlbumList::at(int index) const
{
    std::lock_guard lock(m_mutex);
    if (index < 0 || index >= m_records.size())
        return {};
    return m_records.at(index);
}

QList<ST_PERLISTRECORD> AlbumList::all() const
{
    std::lock_guard lock(m_mutex);
    return m_records;
}

void AlbumList::clear()
{
    std::lock_guard lock(m_mutex);
    m_records.clear();
    m_names.clear();
}

int AlbumList::appendUnique(ST_PERLISTRECORD record)
{
    std::lock_guard lock(m_mutex);
    const QString base = record.strName;
    for (uint counter = 1; m_names.contains(record.strName); ++counter)
        record.strName = QStringLiteral("%1 (%2)").arg(base).arg(counter);
    record.nIndex = int32_t(m_records.size());
    record.nImage = -1;
    m_names.insert(record.strName);
    m_records.append(std::move(record));
    return int(m_records.size());
}

void AlbumList::setImage(int index, int image)
{
    std::lock_guard lock(m_mutex);
    if (index >= 0 && index < m_records.size())
        m_records[index].nImage = image;
}
