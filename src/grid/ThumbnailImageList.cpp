#include "grid/ThumbnailImageList.h"

namespace pictrove {

int ThumbnailImageList::add(const QImage &image)
{
    if (image.isNull())
        return -1;
    // Scale outside the lock: it is the slow part and touches only the caller's copy.
    QImage scaled = image.scaled(m_width, m_height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                        .convertToFormat(QImage::Format_RGB32);
    std::lock_guard lock(m_mutex);
    m_images.append(std::move(scaled));
    return int(m_images.size()) - 1;
}

QImage ThumbnailImageList::at(int index) const
{
    std::lock_guard lock(m_mutex);
    if (index < 0 || index >= m_images.size())
        return QImage();
    return m_images.at(index);
}

int ThumbnailImageList::count() const
{
    std::lock_guard lock(m_mutex);
    return int(m_images.size());
}

void ThumbnailImageList::clear()
{
    std::lock_guard lock(m_mutex);
    m_images.clear();
}

}  // namespace pictrove
