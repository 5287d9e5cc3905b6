#pragma once

namespace pictrove {

// Every address of the Sina services the album sources talk to, in one place, so a
// service moving house is a one-line change. "%s" marks where a value goes (filled
// with QString::arg after replacing it, see fillAddress in SourceFetch.h).

// The Sina photo blog's category list of one blog owner (uid).
inline constexpr char16_t kSinaCategoryEndpoint[] =
    u"https://photo.blog.sina.com.cn/services/ctg_list_ctg.php?format=gsonv&uid=%s";
// An owner's article list, first page; the owner page links it.
inline constexpr char16_t kSinaArticleListEndpoint[] = u"http://blog.sina.com.cn/s/articlelist_%s_0_1.html";

// The Sina Weibo site whose login cookies weiboAlbums sends along explicitly; the
// scheme is swapped for the request's own so a Secure cookie never travels over http.
inline constexpr char16_t kWeiboCookieRoot[] = u"https://weibo.com/";

// Every album of one Weibo user (uid); one request is enough for all of them.
inline constexpr char16_t kWeiboAlbumsEndpoint[] =
    u"https://photo.weibo.com/albums/get_all?uid=%s&count=65535";

// The photos of one Weibo album (uid, album id, album type), 32 per page; the page
// number is appended to the trailing "page=".
inline constexpr char16_t kWeiboPhotosEndpoint[] =
    u"https://photo.weibo.com/photos/get_all?uid=%s&album_id=%s&count=32&type=%s&page=";

// The Referer the photo service expects on its photo pages: the owner's (uid) album index.
inline constexpr char16_t kWeiboPhotosReferer[] =
    u"https://photo.weibo.com/%s/talbum/index?from=profile_wb";

// The Weibo web API, which the weibo.com pages use themselves and which still answers
// where the photo service asks for a login. The owner's profile by id, nick name or
// personal address; percent-encode the value.
inline constexpr char16_t kWeiboProfileByUid[] = u"https://weibo.com/ajax/profile/info?uid=%s";
inline constexpr char16_t kWeiboProfileByName[] = u"https://weibo.com/ajax/profile/info?screen_name=%s";
inline constexpr char16_t kWeiboProfileByCustom[] = u"https://weibo.com/ajax/profile/info?custom=%s";
// The owner's (uid) picture wall with its albums; the pages after the first go on
// from the since id appended to "sinceid=".
inline constexpr char16_t kWeiboImageWallAlbums[] =
    u"https://weibo.com/ajax/profile/getImageWall?uid=%s&sinceid=0&has_album=true";
inline constexpr char16_t kWeiboImageWallPage[] = u"https://weibo.com/ajax/profile/getImageWall?uid=%s&sinceid=";
// One album of the wall (container id, percent-encoded once); the since id is appended.
inline constexpr char16_t kWeiboAlbumDetailPage[] =
    u"https://weibo.com/ajax/profile/getAlbumDetail?containerid=%s&since_id=";
// One status (mid), for the pictures of a wall item that names no picture id.
inline constexpr char16_t kWeiboStatus[] = u"https://weibo.com/ajax/statuses/show?id=%s";
// The full-size picture of a picture id (any of wx1 to wx4 serves it).
inline constexpr char16_t kWeiboLargePicture[] = u"https://wx1.sinaimg.cn/large/%s.jpg";

// The picture hosts refuse hot-linked transfers; each picture travels with the
// Referer of the site it was found on.
inline constexpr char16_t kWeiboPictureHeaders[] = u"Referer: https://weibo.com/";
inline constexpr char16_t kSinaBlogPictureHeaders[] = u"Referer: http://blog.sina.com.cn/";

}  // namespace pictrove
