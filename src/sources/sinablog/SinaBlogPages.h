#pragma once
// Reading Sina blog pages: the blog's front page, the picture categories, a page of a
// category's pictures, a page of the article list and an article. Pure functions of
// the page text, apart from the fetching and paging in SinaBlogSource.

#include "sources/AlbumRecord.h"
#include "sources/Picture.h"

#include <QList>
#include <QString>


namespace pictrove {

// Whether a list page offers a next page ("下一页").
bool blogHasNextPage(const QString &page);

// Whether the page is what a blog shows to others than its author since 2022 (its
// posts "仅作者可见"), or the Sina login page a blog redirects to.
bool blogPageWantsLogin(const QString &page);

// The blog's title up to "_新浪".
QString blogOwnerName(const QString &page);
// The owner's uid, from the article-list link after the title.
QString blogOwnerUid(const QString &page);

// The picture categories, each an album whose url is its first page without the
// "/pageN" suffix.
QList<AlbumRecord> blogCategoriesOnPage(const QString &page);

QList<Picture> blogCategoryPicturesOnPage(const QString &page);

struct BlogArticle {
    QString name;
    QString link;
};
// Article-list themes mark their articles one of two ways; the first page decides
// for the whole list.
enum class ArticleListTheme { Titles, DottedLines };
ArticleListTheme articleListTheme(const QString &firstPage);
QList<BlogArticle> blogArticlesOnPage(const QString &page, ArticleListTheme theme);

// Every picture of the article, in page order, each once, at its original size: the
// lazy-loaded sinaimg.cn address first and its album.sina.com.cn link as the fallback;
// a link without a lazy-loaded picture of its own stands alone.
QList<Picture> blogArticlePictures(const QString &page);

}  // namespace pictrove
