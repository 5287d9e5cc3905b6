// Every reader of the services' pages and answers (Weibo owner page, the photo
// service's and the web API's JSON, the passport's scan-to-log-in answers; Sina blog front page, categories, category pages,
// article lists and articles) on any text. Seeded with the saved service pages.
#include "FuzzInput.h"
#include "sources/sinablog/SinaBlogPages.h"
#include "sources/weibo/WeiboApi.h"
#include "sources/weibo/WeiboPages.h"
#include "sources/weibo/WeiboQrAnswers.h"
#include "text/TextScan.h"

#include <QSet>

using namespace pictrove;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString page = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));

    const WeiboOwner owner = readWeiboOwner(page);
    // The JSON answers, read as the sources read them: status first, then the shapes.
    const WeiboAnswer answer = readWeiboAnswer(200, page);
    (void)weiboAlbumsOf(answer.json, owner.uid);
    (void)weiboPhotosOf(answer.json, owner.uid, QStringLiteral("album"));
    (void)weiboProfileOf(answer.json);
    (void)wallAlbumsOf(answer.json);
    (void)wallPageOf(answer.json);
    // A post's media: each with an address, and a moving part only right after its still.
    const PostMedia media = postMediaOf(answer.json);
    for (qsizetype i = 0; i < media.pictures.size(); ++i) {
        const Picture &picture = media.pictures.at(i);
        if (picture.address.isEmpty())
            fuzz::propertyBroken("a post's picture without an address", picture.pictureId);
        if (picture.kind == MediaKind::LiveMotion
            && (i == 0 || media.pictures.at(i - 1).kind == MediaKind::LiveMotion
                || media.pictures.at(i - 1).kind == MediaKind::Video))
            fuzz::propertyBroken("a moving part without its still", picture.address);
    }
    (void)weiboPostTime(page);
    (void)viewerUidOf(answer.json);

    // The passport's answers of the scan-to-log-in: a confirmation's ticket goes only
    // to a passport host.
    (void)readQrCodeAnswer(page);
    const QrCheckAnswer check = readQrCheckAnswer(page);
    if (check.state == QrCheckState::Confirmed && !isPassportAddress(check.loginAddress))
        fuzz::propertyBroken("a confirmation leading off the passports", check.loginAddress);
    for (const QString &address : crossDomainAddressesOf(page))
        if (!isPassportAddress(address))
            fuzz::propertyBroken("a cross-domain address off the passports", address);

    (void)blogHasNextPage(page);
    (void)blogOwnerName(page);
    (void)blogOwnerUid(page);
    (void)blogCategoriesOnPage(page);
    (void)blogCategoryPicturesOnPage(page);
    (void)blogArticlesOnPage(page, articleListTheme(page));
    // An article's pictures come each once, and none without an address.
    QSet<QString> addresses;
    for (const Picture &picture : blogArticlePictures(page)) {
        if (picture.address.isEmpty() || addresses.contains(picture.address))
            fuzz::propertyBroken("an article picture empty or twice", picture.address);
        addresses.insert(picture.address);
    }

    QString text = page;
    decodeEntities(text);
    return 0;
}
