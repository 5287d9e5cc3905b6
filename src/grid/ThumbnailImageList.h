#pragma once
// The album covers shown in thumbnail mode, addressed by index like a toolkit image
// list. Covers are decoded and scaled on worker threads and drawn by the GUI thread,
// so every access takes the lock; an index stays valid until clear().

#include <QImage>
#include <QList>

#include <mutex>

namespace pictrove {

class ThumbnailImageList {
public:
    ThumbnailImageList(int width, int height)
        : m_width(width)
        , m_height(height)
    {
    }

    int width() const { return m_width; }
    int height() const { return m_height; }

    // Stores `image` scaled to exactly width x height (the aspect ratio is not kept:
    // every cell of the sheet has the same size) and returns its index; -1 for a null image.
    int add(const QImage &image);
    QImage at(int index) const;  // null when out of range
    int count() const;
    void clear();

private:
    const int m_width;
    const int m_height;
    mutable std::mutex m_mutex;
    QList<QImage> m_images;
};

}  // namespace pictrove
