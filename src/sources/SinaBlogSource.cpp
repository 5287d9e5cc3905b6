#include "sources/SinaBlogSource.h"

#include "net/PageText.h"
#include "sources/AddAlbum.h"
#include "sources/AlbumPictures.h"
#include "sources/PictureSink.h"
#include "sources/ServiceAddresses.h"
#include "sources/Session.h"
#include "sources/SourceFetch.h"
#include "text/Charsets.h"
#include "text/TextScan.h"

#include <QList>
#include <QPair>
#include <QSet>

namespace pictrove {

namespace {

const QString kNextPageMarker = QStringLiteral("\">下一页");

PageRequest blogRequest(const QString &url)
{
    PageRequest request(url, QString());
    request.headers = QString::fromUtf16(kAcceptGzipHeader);
    return request;
}

// The blog's title up to "_新浪". Leaves `text` advanced past "<title>": the owner's
// uid and the article list come after it.
QString blogOwnerName(QString &text)
{
    QString name = stripTags(getBetween(text, QStringLiteral("<title>"), QStringLiteral("</"),
                                        BETWEEN_ADVANCE));
    keepBefore(name, QStringLiteral("_新浪"));
    return name;
}

}  // namespace

void sinaBlogCategories(Session &session, const QString &address)
{
    QString text;
    PageRequest ownerPage = blogRequest(address);
    if (!fetchText(ownerPage, TEXT_INFLATE | TEXT_UTF8, text) || text.isEmpty())
        return;
    session.owner.name = blogOwnerName(text);
    session.owner.uid =
        getBetween(text, QStringLiteral("articlelist_"), QStringLiteral("_"), BETWEEN_ADVANCE);

    PageRequest categories = blogRequest(
        fillAddress(kSinaCategoryEndpoint, {session.owner.uid}));
    QString reason;
    if (!fetchListPage(categories, TEXT_INFLATE | TEXT_UTF8, text, session.sleep, reason) || text.isEmpty())
        return;

    QStringList pieces;
    split(text, QStringLiteral("\"category\":\""), pieces);
    AlbumRecord found;
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        QString piece = pieces.at(i);
        QString name = piece;
        if (keepBefore(name, QStringLiteral("\",")) < 0)
            name.clear();
        name = unescapeUnicode(name);
        if (name.isEmpty())
            continue;

        // Each value is searched after the previous one: the fields come in this order.
        found.pictureCount = decimalValue(
            getBetween(piece, QStringLiteral("pic_cnt\":\""), QStringLiteral("\""), BETWEEN_ADVANCE));
        found.url = unescapeSlashes(
            getBetween(piece, QStringLiteral("ctg_url\":\""), QStringLiteral("\""), BETWEEN_ADVANCE));
        found.coverUrl = unescapeSlashes(
            getBetween(piece, QStringLiteral("big_url\":\""), QStringLiteral("\""), BETWEEN_ADVANCE));
        found.name = name;
        found.accessFlags = 0;
        addAlbum(session, found);
        if (session.listStopRequested())
            return;
    }
}

void sinaBlogCategoryPictures(const AlbumWalk &walk, PictureSink &sink)
{
    const AlbumRecord &album = walk.album;
    const QString headers = QString::fromUtf16(kSinaBlogPictureHeaders);
    QStringList pieces;
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
        const bool more = text.contains(kNextPageMarker);

        split(text, QStringLiteral("class=\"pt_border\""), pieces);
        QList<QPair<QString, QString>> pictures;
        bool anyNew = false;
        for (qsizetype i = 1; i < pieces.size(); ++i) {
            QString piece = pieces.at(i);
            QString address =
                getBetween(piece, QStringLiteral("src=\""), QStringLiteral("\""), BETWEEN_ADVANCE);
            address.replace(QStringLiteral("/small/"), QStringLiteral("/orignal/"));
            // The links escape the query's "&" once more than the page decoding undoes.
            address.remove(QStringLiteral("amp"));
            const QString title =
                getBetween(piece, QStringLiteral("title=\""), QStringLiteral("\""), BETWEEN_ADVANCE);
            anyNew = anyNew || !seen.contains(address);
            pictures.append({address, title});
        }
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
    QString separator = QStringLiteral("class=\"atc_title\">");
    QStringList pieces;
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
        if (!fetchListPage(request, TEXT_INFLATE | TEXT_UTF8, text, session.sleep, reason) || text.isEmpty())
            return;
        const bool more = text.contains(kNextPageMarker);

        if (page == 1) {
            session.owner.name = blogOwnerName(text);
            // Older blog themes mark articles with a dotted line instead; the first
            // page decides for the whole list.
            if (split(text, separator, pieces) == 0) {
                separator = QStringLiteral("class=\"SG_j_linedot");
                split(text, separator, pieces);
            }
        } else {
            split(text, separator, pieces);
        }

        QList<QPair<QString, QString>> articles;  // name, link
        bool anyNew = false;
        for (qsizetype i = 1; i < pieces.size(); ++i) {
            QString piece = pieces.at(i);
            QString name = getBetween(piece, QStringLiteral("title=\""), QStringLiteral("\""));
            const QString link = getBetween(piece, QStringLiteral("href=\""), QStringLiteral("\""));
            if (name.isEmpty())
                name = getBetween(piece, QStringLiteral(">"), QStringLiteral("</"));
            if (name.isEmpty())
                continue;
            anyNew = anyNew || !seen.contains(link);
            articles.append({name, link});
        }
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

    // Newer article pages lazy-load their pictures: "real_src" then names every
    // picture, while "&url=" is left only on some links.
    QString separator = QStringLiteral("&url=");
    if (countOf(text, separator) != countOf(text, QStringLiteral("real_src =\"")))
        separator = QStringLiteral("real_src =\"");
    QStringList pieces;
    if (split(text, separator, pieces) == 0 || pieces.size() < 2)
        return;

    QString address = pieces.at(1);
    keepBefore(address, QStringLiteral("\""));
    for (const char16_t *size : {u"/middle/", u"/bmiddle/", u"/mw690/"})
        address.replace(QString::fromUtf16(size), QStringLiteral("/orignal/"));
    sink.addPicture(address, album.name, QString::fromUtf16(kSinaBlogPictureHeaders));
}

}  // namespace pictrove
