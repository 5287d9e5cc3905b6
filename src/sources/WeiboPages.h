#pragma once
// Reading Weibo's pages: the owner page, the album list and a page of an album's
// photos. Pure functions of the page text, apart from the fetching in WeiboSource.

#include "sources/AlbumRecord.h"
#include "sources/PagePicture.h"

#include <QList>
#include <QString>

#include <optional>

namespace pictrove {

struct WeiboOwner {
    QString uid;   // empty when the page names no owner
    QString nick;  // as the page gives it, not yet cleaned
};
WeiboOwner readWeiboOwner(const QString &page);

// The albums of the album list; `url` is the address of their first photo page
// without its page number.
QList<AlbumRecord> weiboAlbumsOnPage(const QString &page, const QString &uid);

// The photos of one page of an album. nullopt for a page without photos (the service
// answers one now and then, or past the end); titles fall back to `albumName`.
std::optional<QList<PagePicture>> weiboPhotosOnPage(const QString &page, const QString &uid,
                                                    const QString &albumName);

}  // namespace pictrove
