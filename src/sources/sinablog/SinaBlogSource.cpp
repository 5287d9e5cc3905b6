#include "sources/sinablog/SinaBlogSource.h"

#include "net/PageText.h"
#include "sources/AlbumPictures.h"
#include "sources/ListContext.h"
#include "sources/ListingBounds.h"
#include "sources/PictureSink.h"
#include "sources/ServiceAddresses.h"
#include "sources/SourceFetch.h"
#include "sources/sinablog/SinaBlogPages.h"
#include "text/Charsets.h"
#include "text/EngineLog.h"
#include "text/TextScan.h"

#include <QSet>

#include <algorithm>

namespace pictrove {

namespace {

PageRequest blogRequest(const QString &url)
{
    PageRequest request(url, QString());
    request.headers = QString::fromUtf16(kAcceptGzipHeader);
    return request;
}

// A list that found nothing because a page of its own failed says why, with what came
// back, rather than that the owner has no albums.
void refuseFor(ListOutcome &outcome, const QString &reason)
{
    outcome.refusal = listResultOfFailure(reason);
    outcome.refusalDetail = reason;
}

bool claimsArticleList(const QString &address)
{
    return isSinaServiceAddress(address) && address.indexOf(u"/s/", 1) >= 0;
}

// The photo-category service no longer serves this owner: it answers 404 (or 410), or
// nothing at all.
bool categoryServiceGone(bool answered, const QString &reason, const QString &text)
{
    if (answered)
        return text.trimmed().isEmpty();
    return listResultOfFailure(reason) == ListResult::OwnerNotFound || reason == u"no answer";
}

}  // namespace

const Source kSinaBlogCategoriesSource{
    "sina-blog-categories", &isSinaServiceAddress, &sinaBlogCategories, &sinaBlogCategoryPictures,
    kSinaBlogPictureHeaders,
    4,  // the blog answers pages side by side
    "sina-blog",
};

const Source kSinaBlogArticlesSource{
    "sina-blog-articles", &claimsArticleList, &sinaBlogArticles, &sinaBlogArticlePictures, kSinaBlogPictureHeaders, 4,
    "sina-blog",
};

ListOutcome sinaBlogCategories(const QString &address, ListContext &context)
{
    ListOutcome outcome;
    QString text;
    QString reason;
    PageRequest ownerPage = blogRequest(address);
    if (!fetchListPage(ownerPage, kTextInflate | kTextUtf8, text, context.sleep, reason)) {
        refuseFor(outcome, reason);
        return outcome;
    }
    if (blogPageWantsLogin(text)) {
        outcome.refusal = ListResult::LoginNeeded;
        return outcome;
    }
    if (text.isEmpty())
        return outcome;
    outcome.owner.name = blogOwnerName(text);
    outcome.owner.uid = blogOwnerUid(text);

    PageRequest categories = blogRequest(fillAddress(kSinaCategoryEndpoint, {outcome.owner.uid}));
    const bool answered = fetchListPage(categories, kTextInflate | kTextUtf8, text, context.sleep, reason);
    if (categoryServiceGone(answered, reason, text) && !outcome.owner.uid.isEmpty()) {
        // The owner is there, the photo service is not: the articles still hold the
        // pictures, and the owner page links their list.
        ListOutcome articles =
            sinaBlogArticles(fillAddress(kSinaArticleListEndpoint, {outcome.owner.uid}), context);
        articles.owner = outcome.owner;
        return articles;
    }
    if (!answered) {
        refuseFor(outcome, reason);
        return outcome;
    }

    for (AlbumRecord &found : blogCategoriesOnPage(text)) {
        found.source = &kSinaBlogCategoriesSource;
        context.albums.addAlbum(found);
        if (context.albums.stopRequested())
            break;
    }
    return outcome;
}

void sinaBlogCategoryPictures(const AlbumWalk &walk, PictureSink &sink)
{
    const AlbumRecord &album = walk.album;
    const QString headers = QString::fromUtf16(kSinaBlogPictureHeaders);
    QString text;
    QString reason;
    QSet<QString> seen;  // addresses handed over for this album
    for (int page = 1;; ++page) {
        // A run of pages without pictures would never reach the per-picture test.
        if (sink.albumClosed())
            return;
        PageRequest request = blogRequest(QStringLiteral("%1/page%2").arg(album.url).arg(page));
        if (page > kMaxListPages) {
            sink.listingFailed(request.url, pageLimitReason());
            return;
        }
        if (!fetchListPage(request, kTextInflate | kTextUtf8, text, walk.sleep, reason)) {
            sink.listingFailed(request.url, reason);
            return;
        }
        QList<Picture> pictures = blogCategoryPicturesOnPage(text);
        const bool anyNew = std::any_of(pictures.begin(), pictures.end(), [&](const Picture &picture) {
            return !seen.contains(picture.address);
        });
        // A page bringing no picture not seen before ends the album whatever its
        // "下一页" says: the server repeats itself, or pages on without pictures.
        if (anyNew) {
            for (Picture &picture : pictures) {
                seen.insert(picture.address);
                picture.headers = headers;
                sink.addPicture(picture);
                if (sink.albumClosed())
                    return;
            }
        }
        if (!anyNew || !blogHasNextPage(text)) {
            const QString shortBy = shortOfCountReason(album.pictureCount, int(seen.size()));
            if (!shortBy.isEmpty())
                sink.listingFailed(request.url, shortBy);
            return;
        }
    }
}

ListOutcome sinaBlogArticles(const QString &listAddress, ListContext &context)
{
    ListOutcome outcome;
    // Article lists are paged as "<base>_<page>.html"; an address without "_" leaves
    // nothing to page through.
    const qsizetype underscore = listAddress.lastIndexOf(u'_');
    if (underscore < 0)
        return outcome;
    const QString address = listAddress.left(underscore);
    ArticleListTheme theme = ArticleListTheme::Titles;
    QString text;
    QString reason;
    QSet<QString> seen;  // article links listed so far
    AlbumRecord found;
    found.pictureCount = -1;
    found.accessFlags = 0;
    found.source = &kSinaBlogArticlesSource;
    for (int page = 1;; ++page) {
        // A run of pages without articles would never reach the per-album test.
        if (context.albums.stopRequested())
            return outcome;
        PageRequest request = blogRequest(QStringLiteral("%1_%2.html").arg(address).arg(page));
        if (page > kMaxListPages) {
            qCWarning(lcEngine, "%s: the article list goes on past %d pages; the rest is not listed",
                      qPrintable(request.url), kMaxListPages);
            return outcome;
        }
        if (!fetchListPage(request, kTextInflate | kTextUtf8, text, context.sleep, reason)) {
            if (page == 1)
                refuseFor(outcome, reason);
            else
                qCWarning(lcEngine, "%s: %s; the article list ends here", qPrintable(request.url),
                          qPrintable(reason));
            return outcome;
        }
        if (page == 1 && blogPageWantsLogin(text)) {
            outcome.refusal = ListResult::LoginNeeded;
            return outcome;
        }
        if (page == 1) {
            outcome.owner.name = blogOwnerName(text);
            theme = articleListTheme(text);
        }
        const QList<BlogArticle> articles = blogArticlesOnPage(text, theme);
        const bool anyNew = std::any_of(articles.begin(), articles.end(), [&](const BlogArticle &article) {
            return !seen.contains(article.link);
        });
        // A page bringing no article not seen before ends the list whatever its
        // "下一页" says: the server repeats itself, or pages on without articles.
        if (!anyNew)
            return outcome;
        for (const auto &[name, link] : std::as_const(articles)) {
            seen.insert(link);
            found.name = name;
            found.url = link;
            context.albums.addAlbum(found);
            if (context.albums.stopRequested())
                return outcome;
        }
        if (!blogHasNextPage(text))
            return outcome;
    }
}

void sinaBlogArticlePictures(const AlbumWalk &walk, PictureSink &sink)
{
    const AlbumRecord &album = walk.album;
    QString text;
    PageRequest request = blogRequest(album.url);
    QString reason;
    // Article pages are served in the local code page, not UTF-8.
    if (!fetchListPage(request, kTextInflate, text, walk.sleep, reason)) {
        sink.listingFailed(request.url, reason);
        return;
    }
    if (text.isEmpty())
        return;

    for (Picture &picture : blogArticlePictures(text)) {
        if (sink.albumClosed())
            return;
        picture.title = album.name;
        picture.headers = QString::fromUtf16(kSinaBlogPictureHeaders);
        sink.addPicture(picture);
    }
}

}  // namespace pictrove
