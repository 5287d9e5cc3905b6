#include "sources/Sources.h"

#include "sources/sinablog/SinaBlogSource.h"
#include "sources/weibo/WeiboSource.h"

namespace pictrove {

const QList<const Source *> &builtInSources()
{
    // Order matters: an article list lies on the blog's host too, and every other
    // Sina address is taken for a blog owner.
    static const QList<const Source *> kSources = {
        &kSinaBlogArticlesSource,
        &kWeiboSource,
        &kSinaBlogCategoriesSource,
        &kWeiboWallSource,
    };
    return kSources;
}

const Source *sourceFor(const QList<const Source *> &sources, const QString &address)
{
    for (const Source *source : sources) {
        if (source->claims && source->claims(address))
            return source;
    }
    return nullptr;
}

}  // namespace pictrove
