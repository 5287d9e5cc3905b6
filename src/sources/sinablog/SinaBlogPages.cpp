#include "sources/sinablog/SinaBlogPages.h"

#include "sources/SourceFetch.h"
#include "text/TextScan.h"

#include <QStringList>

namespace pictrove {

namespace {

QString articleSeparator(ArticleListTheme theme)
{
    return theme == ArticleListTheme::Titles ? QStringLiteral("class=\"atc_title\">")
                                             : QStringLiteral("class=\"SG_j_linedot");
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

std::optional<QString> blogArticlePicture(const QString &page)
{
    // Newer article pages lazy-load their pictures: "real_src" then names every
    // picture, while "&url=" is left only on some links.
    QString separator = QStringLiteral("&url=");
    if (countOf(page, separator) != countOf(page, QStringLiteral("real_src =\"")))
        separator = QStringLiteral("real_src =\"");
    QStringList pieces;
    if (split(page, separator, pieces) == 0 || pieces.size() < 2)
        return std::nullopt;

    QString address = pieces.at(1);
    keepBefore(address, QStringLiteral("\""));
    for (const char16_t *size : {u"/middle/", u"/bmiddle/", u"/mw690/"})
        address.replace(QString::fromUtf16(size), QStringLiteral("/orignal/"));
    return address;
}

}  // namespace pictrove
