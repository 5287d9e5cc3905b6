#include "sources/SinaBlogSource.h"

#include "net/PageText.h"
#include "sources/AddAlbum.h"
#include "sources/AlbumPictures.h"
#include "sources/ListEvents.h"
#include "sources/PictureSink.h"
#include "sources/ServiceAddresses.h"
#include "sources/SinaBlogPages.h"
#include "sources/Session.h"
#include "sources/SourceFetch.h"
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
void refuseFor(Session &session, const QString &reason)
{
    session.refusal = listResultOfFailure(reason);
    session.refusalDetail = reason;
}

}  // namespace

void sinaBlogCategories(Session &session, const QString &address)
{
    QString text;
    QString reason;
    PageRequest ownerPage = blogRequest(address);
    if (!fetchListPage(ownerPage, TEXT_INFLATE | TEXT_UTF8, text, session.sleep, reason)) {
        refuseFor(session, reason);
        return;
    }
    if (blogPageWantsLogin(text)) {
        session.refusal = ListResult::LoginNeeded;
        return;
    }
    if (text.isEmpty())
        return;
    session.owner.name = blogOwnerName(text);
    session.owner.uid = blogOwnerUid(text);

    PageRequest categories = blogRequest(
        fillAddress(kSinaCategoryEndpoint, {session.owner.uid}));
    if (!fetchListPage(categories, TEXT_INFLATE | TEXT_UTF8, text, session.sleep, reason)) {
        refuseFor(session, reason);
        return;
    }

    for (const AlbumRecord &found : blogCategoriesOnPage(text)) {
        addAlbum(session, found);
        if (session.listStopRequested())
            return;
    }
}

void sinaBlogCategoryPictures(const AlbumWalk &walk, PictureSink &sink)
{
    const AlbumRecord &album = walk.album;
    const QString headers = QString::fromUtf16(kSinaBlogPictureHeaders);
    QString text;
    QString reason;
    QSet<QString> seen;  // addresses handed over for this album
    QString previousPage;
    for (int page = 1;; ++page) {
        // A run of pages without pictures would never reach the per-picture test.
        if (sink.albumClosed())
            return;
        PageRequest request = blogRequest(QStringLiteral("%1/page%2").arg(album.url).arg(page));
        if (!fetchListPage(request, TEXT_INFLATE | TEXT_UTF8, text, walk.sleep, reason)) {
            sink.listingFailed(request.url, reason);
            return;
        }
        if (text.isEmpty())
            return;
        const bool more = blogHasNextPage(text);
        const QList<PagePicture> pictures = blogCategoryPicturesOnPage(text);
        const bool anyNew = std::any_of(pictures.begin(), pictures.end(), [&](const PagePicture &picture) {
            return !seen.contains(picture.address);
        });
        // A page bringing no picture not seen before, or the same page once more, is
        // the server repeating itself while it still offers "下一页": following it
        // would never end.
        if ((!pictures.isEmpty() && !anyNew) || text == previousPage)
            return;
        previousPage = text;
        for (const auto &[address, title] : std::as_const(pictures)) {
            seen.insert(address);
            sink.addPicture(address, title, headers);
            if (sink.albumClosed())
                return;
        }
        if (!more)
            return;
    }
}

void sinaBlogArticles(Session &session, const QString &address)
{
    // An article-list address without "_" leaves nothing to page through.
    if (address.isEmpty())
        return;
    ArticleListTheme theme = ArticleListTheme::Titles;
    QString text;
    QString reason;
    QSet<QString> seen;  // article links listed so far
    QString previousPage;
    AlbumRecord found;
    found.pictureCount = -1;
    found.accessFlags = 0;
    for (int page = 1;; ++page) {
        // A run of pages without articles would never reach the per-album test.
        if (session.listStopRequested())
            return;
        PageRequest request = blogRequest(QStringLiteral("%1_%2.html").arg(address).arg(page));
        if (!fetchListPage(request, TEXT_INFLATE | TEXT_UTF8, text, session.sleep, reason)) {
            if (page == 1)
                refuseFor(session, reason);
            else
                qCWarning(lcEngine, "%s: %s; the article list ends here", qPrintable(request.url),
                          qPrintable(reason));
            return;
        }
        if (text.isEmpty())
            return;
        if (page == 1 && blogPageWantsLogin(text)) {
            session.refusal = ListResult::LoginNeeded;
            return;
        }
        const bool more = blogHasNextPage(text);
        if (page == 1) {
            session.owner.name = blogOwnerName(text);
            theme = articleListTheme(text);
        }
        const QList<BlogArticle> articles = blogArticlesOnPage(text, theme);
        const bool anyNew = std::any_of(articles.begin(), articles.end(), [&](const BlogArticle &article) {
            return !seen.contains(article.link);
        });
        // The same articles again, or the same page: the server repeats itself.
        if ((!articles.isEmpty() && !anyNew) || text == previousPage)
            return;
        previousPage = text;
        for (const auto &[name, link] : std::as_const(articles)) {
            seen.insert(link);
            found.name = name;
            found.url = link;
            addAlbum(session, found);
            if (session.listStopRequested())
                return;
        }
        if (!more)
            return;
    }
}

void sinaBlogArticlePicture(const AlbumWalk &walk, PictureSink &sink)
{
    const AlbumRecord &album = walk.album;
    QString text;
    PageRequest request = blogRequest(album.url);
    QString reason;
    // Article pages are served in the local code page, not UTF-8.
    if (!fetchListPage(request, TEXT_INFLATE, text, walk.sleep, reason)) {
        sink.listingFailed(request.url, reason);
        return;
    }
    if (text.isEmpty())
        return;

    const std::optional<QString> address = blogArticlePicture(text);
    if (!address)
        return;
    sink.addPicture(*address, album.name, QString::fromUtf16(kSinaBlogPictureHeaders));
}

}  // namespace pictrove
