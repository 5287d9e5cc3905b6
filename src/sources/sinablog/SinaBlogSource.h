#pragma once
// The Sina blog: photo categories or an article list as albums, and their pictures.
// Two entries of the source table: an article-list address lists articles, any other
// Sina address the owner's photo categories.

#include "sources/Source.h"

#include <QString>

namespace pictrove {

extern const Source kSinaBlogCategoriesSource;
extern const Source kSinaBlogArticlesSource;

// Album listers (list thread).
ListOutcome sinaBlogCategories(const QString &address, ListContext &context);
// `address` as the user gave it ("…/s/articlelist_UID_0_1.html"): its pages are
// "<address up to its last '_'>_<page>.html".
ListOutcome sinaBlogArticles(const QString &address, ListContext &context);

// Picture listers (download thread): hand pictures to the sink until it closes.
void sinaBlogCategoryPictures(const AlbumWalk &walk, PictureSink &sink);
void sinaBlogArticlePictures(const AlbumWalk &walk, PictureSink &sink);

}  // namespace pictrove
