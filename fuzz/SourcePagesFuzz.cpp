// Every reader of the services' pages (Weibo owner page, album list and photo pages;
// Sina blog front page, categories, category pages, article lists and articles) on
// any text. Seeded with the saved service pages of the tests.
#include "FuzzInput.h"
#include "sources/SinaBlogPages.h"
#include "sources/WeiboPages.h"
#include "text/TextScan.h"

using namespace pictrove;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString page = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));

    const WeiboOwner owner = readWeiboOwner(page);
    (void)weiboAlbumsOnPage(page, owner.uid);
    (void)weiboPhotosOnPage(page, owner.uid, QStringLiteral("album"));

    (void)blogHasNextPage(page);
    (void)blogOwnerName(page);
    (void)blogOwnerUid(page);
    (void)blogCategoriesOnPage(page);
    (void)blogCategoryPicturesOnPage(page);
    (void)blogArticlesOnPage(page, articleListTheme(page));
    (void)blogArticlePicture(page);

    QString text = page;
    decodeEntities(text);
    return 0;
}
