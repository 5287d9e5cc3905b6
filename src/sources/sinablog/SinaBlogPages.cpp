#include "sources/sinablog/SinaBlogPages.h"

#include "sources/SourceFetch.h"
#include "text/TextScan.h"

#include <QSet>
#include <QStringList>

namespace pictrove {

namespace {

QString articleSeparator(ArticleListTheme theme)
{
    return theme == ArticleListTheme::Titles ? QStringLiteral("class=\"atc_title\">")
                                             : QStringLiteral("class=\"SG_j_linedot");
}

const QString kArticleLinkMarker = QStringLiteral("&url=");
const QString kArticleLazyMarker = QStringLiteral("real_src =\"");

// The text from `at` up to the next quote (or the end of the page).
QString quotedValueAt(const QString &page, qsizetype at)
{
    qsizetype end = page.indexOf(u'"', at);
    if (end < 0)
        end = page.size();
    return page.mid(at, end - at);
}

QString originalSize(QString address)
{
    for (const char16_t *size : {u"/middle/", u"/bmiddle/", u"/mw690/"})
        address.replace(QString::fromUtf16(size), QStringLiteral("/orignal/"));
    return address;
}

// What tells two addresses of one picture apart from another picture: its id, the
// last part of the path without the display width after "&" (the same on sinaimg.cn
// and album.sina.com.cn).
QString articlePictureKey(const QString &address)
{
    QString key = address.mid(address.lastIndexOf(u'/') + 1);
    keepBefore(key, QStringLiteral("&"));
    keepBefore(key, QStringLiteral("?"));
    return key.isEmpty() ? address : key;
}

}  // namespace

bool blogHasNextPage(const QString &page)
{
    return page.contains(QStringLiteral("\">下一页"));
}

bool blogPageWantsLogin(const QString &page)
{
    return page.contains(QStringLiteral("仅作者可见")) || page.contains(QStringLiteral("<title>新浪通行证"));
}

QString blogOwnerName(const QString &page)
{
    QString text = page;
    QString name = stripTags(getBetween(text, QStringLiteral("<title>"), QStringLiteral("</"),
                                        kBetweenAdvance));
    keepBefore(name, QStringLiteral("_新浪"));
    return name;
}

QString blogOwnerUid(const QString &page)
{
    QString text = page;
    getBetween(text, QStringLiteral("<title>"), QStringLiteral("</"), kBetweenAdvance);
    return getBetween(text, QStringLiteral("articlelist_"), QStringLiteral("_"), kBetweenAdvance);
}

QList<AlbumRecord> blogCategoriesOnPage(const QString &page)
{
    QList<AlbumRecord> categories;
    QStringList pieces;
    split(page, QStringLiteral("\"category\":\""), pieces);
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
            getBetween(piece, QStringLiteral("pic_cnt\":\""), QStringLiteral("\""), kBetweenAdvance));
        found.url = unescapeSlashes(
            getBetween(piece, QStringLiteral("ctg_url\":\""), QStringLiteral("\""), kBetweenAdvance));
        found.coverUrl = unescapeSlashes(
            getBetween(piece, QStringLiteral("big_url\":\""), QStringLiteral("\""), kBetweenAdvance));
        found.name = name;
        found.accessFlags = 0;
        categories.append(found);
    }
    return categories;
}

QList<Picture> blogCategoryPicturesOnPage(const QString &page)
{
    QList<Picture> pictures;
    QStringList pieces;
    split(page, QStringLiteral("class=\"pt_border\""), pieces);
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        QString piece = pieces.at(i);
        QString address = getBetween(piece, QStringLiteral("src=\""), QStringLiteral("\""), kBetweenAdvance);
        address.replace(QStringLiteral("/small/"), QStringLiteral("/orignal/"));
        // The links escape the query's "&" once more than the page decoding undoes.
        address.remove(QStringLiteral("amp"));
        Picture picture;
        picture.address = address;
        picture.title = getBetween(piece, QStringLiteral("title=\""), QStringLiteral("\""), kBetweenAdvance);
        pictures.append(std::move(picture));
    }
    return pictures;
}

ArticleListTheme articleListTheme(const QString &firstPage)
{
    return firstPage.contains(articleSeparator(ArticleListTheme::Titles)) ? ArticleListTheme::Titles
                                                                          : ArticleListTheme::DottedLines;
}

QList<BlogArticle> blogArticlesOnPage(const QString &page, ArticleListTheme theme)
{
    QList<BlogArticle> articles;
    QStringList pieces;
    split(page, articleSeparator(theme), pieces);
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        QString piece = pieces.at(i);
        QString name = getBetween(piece, QStringLiteral("title=\""), QStringLiteral("\""));
        const QString link = getBetween(piece, QStringLiteral("href=\""), QStringLiteral("\""));
        if (name.isEmpty())
            name = getBetween(piece, QStringLiteral(">"), QStringLiteral("</"));
        if (name.isEmpty())
            continue;
        articles.append({name, link});
    }
    return articles;
}

QList<Picture> blogArticlePictures(const QString &page)
{
    // Article pages lazy-load their pictures: "real_src" names each one on sinaimg.cn.
    // The link around it, "&url=http://album.sina.com.cn/pic/ID", names the same
    // picture on a host that is mostly gone; older pages have only the link, around a
    // plain picture.
    QList<Picture> pictures;
    QSet<QString> seen;
    const auto add = [&](const QString &address, const QString &fallback) {
        const QString key = articlePictureKey(address);
        if (address.isEmpty() || seen.contains(key))
            return;
        seen.insert(key);
        Picture picture;
        picture.address = address;
        picture.fallbackAddress = fallback;
        pictures.append(std::move(picture));
    };
    // A link whose lazy-loaded picture never came: the plain picture inside it when
    // that is the same picture on sinaimg.cn, else the link alone.
    QString link;
    qsizetype linkEnd = 0;
    const auto addLinkAlone = [&](qsizetype until) {
        if (link.isEmpty())
            return;
        QString inside = page.mid(linkEnd, until - linkEnd);
        const QString plain = originalSize(getBetween(inside, QStringLiteral("src=\""), QStringLiteral("\"")));
        if (plain.contains(QStringLiteral("sinaimg.cn/")) && articlePictureKey(plain) == articlePictureKey(link))
            add(plain, link);
        else
            add(link, QString());
        link.clear();
    };

    qsizetype at = 0;
    while (true) {
        const qsizetype linkAt = page.indexOf(kArticleLinkMarker, at);
        const qsizetype lazyAt = page.indexOf(kArticleLazyMarker, at);
        if (linkAt < 0 && lazyAt < 0)
            break;
        if (linkAt >= 0 && (lazyAt < 0 || linkAt < lazyAt)) {
            addLinkAlone(linkAt);
            at = linkAt + kArticleLinkMarker.size();
            link = quotedValueAt(page, at);
            linkEnd = at + link.size();
            continue;
        }
        at = lazyAt + kArticleLazyMarker.size();
        const QString lazy = originalSize(quotedValueAt(page, at));
        // The link belongs to this picture only when it names the same picture.
        if (!link.isEmpty() && articlePictureKey(link) == articlePictureKey(lazy)) {
            add(lazy, link);
            link.clear();
        } else {
            addLinkAlone(lazyAt);
            add(lazy, QString());
        }
    }
    addLinkAlone(page.size());
    return pictures;
}

}  // namespace pictrove
