// The naming rules without the file system: picture names by mode, escapes and
// find/replace, the length limits, the collision counter and album folders.

#include "download/AlbumQueue.h"
#include "download/FileNaming.h"
#include "QueuedPictures.h"

#include <gtest/gtest.h>

#include <limits>

#include <QRegularExpression>

namespace pictrove {

namespace {

struct NamingCase {
    const char *label;
    uint8_t fileBase;
    const char16_t *prefix;
    const char16_t *suffix;
    const char16_t *find;
    const char16_t *replace;
    const char16_t *title;
    const char16_t *address;
    int sequence;
    const char16_t *expected;  // final name for an empty queue and a short folder
};

PictureNaming namingFor(const NamingCase &c)
{
    PictureNaming in;
    in.rules.fileBase = c.fileBase;
    in.rules.filePrefix = QString::fromUtf16(c.prefix);
    in.rules.fileSuffix = QString::fromUtf16(c.suffix);
    in.rules.findText = QString::fromUtf16(c.find);
    in.rules.replaceText = QString::fromUtf16(c.replace);
    in.picture.title = QString::fromUtf16(c.title);
    in.picture.address = QString::fromUtf16(c.address);
    in.sequence = c.sequence;
    in.album.name = QStringLiteral("Trip");
    in.album.position = 2;
    in.album.extraNumber1 = 41;
    in.album.extraNumber2 = -5;
    in.selectedAlbumCount = 6;
    in.albumCount = 17;
    in.ownerName = QStringLiteral("Anna/");
    return in;
}

TEST(FileNaming, PictureNamesFollowTheRules)
{
    constexpr uint8_t D = kFileBaseDescription, S = kFileBaseSequence, A = kFileBaseAddress;
    const NamingCase cases[] = {
        {"entity decoded, default extension", D, u"", u"", u"", u"", u"Sunset &amp; Sea", u"http://h/p/1.jpg", 1, u"Sunset & Sea.jpg"},
        {"extension keeps its case", D, u"", u"", u"", u"", u"cat.PNG", u"", 1, u"cat.PNG"},
        {"empty title takes the album name", D, u"", u"", u"", u"", u" ?* ", u"", 3, u"Trip.jpg"},
        {"sequence with four-digit album number", S, u"?9_", u"", u"", u"", u"ignored", u"", 4, u"0003_4.jpg"},
        {"address base is cleaned", A, u"", u"", u"", u"", u"t", u"http://h/photo/abc.gif?x=1", 1, u"abc.gifx=1.jpg"},
        {"address without a path falls back to the sequence", A, u"", u"", u"", u"", u"t", u"/abc", 9, u"9.jpg"},
        {"pairwise replacement", D, u"", u"", u"a|b", u"x|y", u"abc", u"", 1, u"xyc.jpg"},
        {"uneven lists replace the whole text", D, u"a|b", u"", u"a|b", u"x", u"abc", u"", 1, u"xabc.jpg"},
        {"uneven lists leave a plain a alone", D, u"", u"", u"a|b", u"x", u"abc", u"", 1, u"abc.jpg"},
        {"empty find text changes nothing", D, u"", u"", u"", u"z", u"abc", u"", 1, u"abc.jpg"},
        {"every escape", S, u"?1-?2-?3-?4-?5-?6-?7-?8-?9-", u"", u"", u"", u"", u"", 8, u"Trip-8-3-41--5-6-17-Anna-0003-8.jpg"},
        {"escapes in the suffix too", D, u"", u"_?2", u"", u"", u"x.gif", u"", 2, u"x.gif_2.jpg"},
        {"drive-letter title is only a name", D, u"", u"", u"", u"", u"C:\\x\\y.jpg", u"", 1, u"Cxy.jpg"},
        {"climbing title is only a name", D, u"", u"", u"", u"", u"../../x", u"", 1, u"x.jpg"},
        {"separators from the replacement are cleaned", D, u"", u"", u"a", u"/../", u"abc", u"", 1, u"bc.jpg"},
    };
    AlbumQueue empty;
    for (const NamingCase &c : cases) {
        SCOPED_TRACE(c.label);
        const QString base = pictureNameBase(namingFor(c));
        EXPECT_EQ(finalFileName(base, QStringLiteral("/tmp/p/"), empty), QString::fromUtf16(c.expected));
    }
}

// Each kind of media ends in its own extension, whatever the rules made of the name;
// a still keeps a picture extension of its name.
TEST(FileNaming, EachKindOfMediaEndsInItsOwnExtension)
{
    const struct {
        const char16_t *base;
        MediaKind kind;
        const char16_t *expected;
    } cases[] = {
        {u"a.png", MediaKind::Still, u"a.png"},
        {u"a", MediaKind::Still, u"a.jpg"},
        {u"a.jpg", MediaKind::Animated, u"a.gif"},
        {u"a.GIF", MediaKind::Animated, u"a.gif"},
        {u"a", MediaKind::LiveMotion, u"a.mov"},
        {u"a.MOV", MediaKind::LiveMotion, u"a.mov"},
        {u"v1080.mp4", MediaKind::Video, u"v1080.mp4"},
        {u"clip.jpg", MediaKind::Video, u"clip.mp4"},
        {u"a.b", MediaKind::Video, u"a.b.mp4"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.base).toStdString());
        AlbumQueue queue;
        EXPECT_EQ(finalFileName(QString::fromUtf16(c.base), QStringLiteral("/p/"), queue, c.kind),
                  QString::fromUtf16(c.expected));
    }
    // Named by address, a video's signed query is no part of its name.
    PictureNaming naming;
    naming.rules.fileBase = kFileBaseAddress;
    naming.picture.kind = MediaKind::Video;
    naming.picture.address = QStringLiteral("https://f.video.weibocdn.com/o0/v1080.mp4?label=mp4_1080p&Expires=1&ssig=a%2Fb");
    EXPECT_EQ(pictureNameBase(naming), QStringLiteral("v1080.mp4"));
}

TEST(FileNaming, EscapeValuesAreExpandedByLaterDigits)
{
    NamingCase c{"", kFileBaseSequence, u"?1_", u"", u"", u"", u"", u"", 5, u""};
    PictureNaming in = namingFor(c);
    in.album.name = QStringLiteral("t?2");  // ?1 brings in ?2, expanded next
    EXPECT_EQ(pictureNameBase(in), QStringLiteral("t5_5"));
}

// The post's letter escapes: values present, absent (an empty text), and collisions
// that the counter keeps apart. The dates are the services' clock (UTC+8): 15:59:59 UTC
// is still the 31st there, two seconds later it is the 1st.
TEST(FileNaming, PostEscapesPresentAbsentAndColliding)
{
    const struct {
        const char *label;
        const char16_t *prefix;
        int64_t postTime;
        const char16_t *postId;
        const char16_t *pictureId;
        int numberInPost;
        const char16_t *ownerId;
        const char16_t *expected;  // with the sequence 1 as the base
    } cases[] = {
        {"date, post id, sequence", u"?d_?p_", 1706716799, u"4999999999999999", u"", 1, u"", u"20240131_4999999999999999_1.jpg"},
        {"every letter", u"?d?t-?p-?i-?n-?o-", 1706716799, u"P", u"I", 3, u"O", u"20240131235959-P-I-3-O-1.jpg"},
        {"date in the services' zone", u"?d_?t_", 1706716801, u"", u"", 0, u"", u"20240201_000001_1.jpg"},
        {"all absent", u"?d?t?p?i?n?o_", 0, u"", u"", 0, u"", u"_1.jpg"},
        {"absent between separators", u"?d_?p_?n_", 0, u"", u"", 0, u"", u"___1.jpg"},
        {"unknown letters keep their text", u"?x?D_", 1706716799, u"", u"", 0, u"", u"xD_1.jpg"},
        {"a value brings in no escape", u"?p_", 0, u"?d?1", u"", 0, u"", u"d1_1.jpg"},
        {"digits and letters side by side", u"?1?d?2_", 1706716799, u"", u"", 0, u"", u"Trip202401311_1.jpg"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        NamingCase base{"", kFileBaseSequence, c.prefix, u"", u"", u"", u"", u"", 1, u""};
        PictureNaming in = namingFor(base);
        in.picture.postTime = c.postTime;
        in.picture.postId = QString::fromUtf16(c.postId);
        in.picture.pictureId = QString::fromUtf16(c.pictureId);
        in.numberInPost = c.numberInPost;
        in.ownerId = QString::fromUtf16(c.ownerId);
        AlbumQueue empty;
        EXPECT_EQ(finalFileName(pictureNameBase(in), QStringLiteral("/p/"), empty), QString::fromUtf16(c.expected));
    }

    // Pictures without a post time or id name alike: the counter keeps them apart.
    PictureNaming in = namingFor({"", kFileBaseSequence, u"", u"", u"", u"", u"", u"", 1, u""});
    in.rules.filePrefix = QStringLiteral("?d?p");
    in.rules.fileBase = kFileBaseDescription;
    in.picture.title = QStringLiteral("x");
    AlbumQueue queue;
    QStringList names;
    for (int i = 0; i < 3; ++i) {
        const QString name = finalFileName(pictureNameBase(in), QStringLiteral("/p/"), queue);
        queue.queuePicture(in.picture, name);
        names.append(name);
    }
    EXPECT_EQ(names, QStringList({QStringLiteral("x.jpg"), QStringLiteral("x(1).jpg"), QStringLiteral("x(2).jpg")}));
}

// The last position an album list can hold still numbers its album (found by fuzzing:
// the successor of 2^31-1 overflowed).
TEST(FileNaming, LastPossiblePositionIsNumbered)
{
    NamingCase c{"", kFileBaseSequence, u"?3_?9_", u"", u"", u"", u"", u"", 1, u""};
    PictureNaming in = namingFor(c);
    in.album.position = std::numeric_limits<int32_t>::max();
    EXPECT_EQ(pictureNameBase(in), QStringLiteral("2147483648_2147483648_1"));
    NameRules rules;
    rules.folderPrefix = QStringLiteral("?3-");
    EXPECT_EQ(albumFolderName(in.album, rules), QStringLiteral("2147483648-") + in.album.name);
}

TEST(FileNaming, NameCleanedToNothingBecomesLocalTime)
{
    NamingCase c{"", kFileBaseAddress, u"", u"", u"", u"", u"t", u"http://h/p/?", 1, u""};
    AlbumQueue queue;
    const QString name = finalFileName(pictureNameBase(namingFor(c)), QStringLiteral("/x/"), queue);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{14}\\.jpg$")).match(name).hasMatch()) << name.toStdString();
}

TEST(FileNaming, PictureExtensions)
{
    const struct {
        const char *name;
        bool picture;
    } cases[] = {
        {"a.jpg", true}, {"a.JPEG", true}, {"a.Bmp", true}, {"a.gif", true}, {"a.png", true},
        {"a.tif", true}, {"a.tiff", false}, {"a.webp", false}, {"jpg", false}, {"a.jpg.txt", false},
        {".jpg", true},  {"", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(hasPictureExtension(QString::fromLatin1(c.name)), c.picture);
    }
}

TEST(FileNaming, CollisionsCountOnTheRuleName)
{
    const struct {
        const char16_t *base;
        const char16_t *expected;
    } sequence[] = {
        {u"a.jpg", u"a.jpg"},       {u"a.jpg", u"a.jpg(1).jpg"}, {u"a.jpg", u"a.jpg(2).jpg"},
        {u"A.JPG", u"A.JPG(3).JPG"}, {u"7", u"7.jpg"},            {u"7", u"7(1).jpg"},
        {u"b.png", u"b.png"},
        // A name that takes the counter's next value itself is stepped over.
        {u"a.jpg(4).jpg", u"a.jpg(4).jpg"}, {u"a.jpg", u"a.jpg(5).jpg"},
    };
    AlbumQueue queue;
    for (const auto &step : sequence) {
        const QString name = finalFileName(QString::fromUtf16(step.base), QStringLiteral("/p/"), queue);
        EXPECT_EQ(name, QString::fromUtf16(step.expected));
        queue.queuePicture(pictureAt(QStringLiteral("u")), name);
    }
    EXPECT_EQ(queue.findName(QStringLiteral("A.JPG(1).JPG")), 1);
    EXPECT_EQ(queue.findName(QStringLiteral("c.jpg")), -1);
    queue.clear();
    EXPECT_EQ(queue.findName(QStringLiteral("a.jpg")), -1);
    // The next album counts from the start again.
    queue.queuePicture(pictureAt(QStringLiteral("u")), QStringLiteral("a.jpg"));
    EXPECT_EQ(finalFileName(QStringLiteral("a.jpg"), QStringLiteral("/p/"), queue), QStringLiteral("a.jpg(1).jpg"));
}

TEST(FileNaming, NamesAreCutToTheFolderRoom)
{
    // 250 - 240 leaves 10 characters, cut before the extension is split off.
    const QString folder = QLatin1Char('/') + QString(238, QLatin1Char('f')) + QLatin1Char('/');
    ASSERT_EQ(folder.size(), 240);
    AlbumQueue queue;
    EXPECT_EQ(finalFileName(QStringLiteral("abcdefghijklmnop.png"), folder, queue), QStringLiteral("abcdefghij.jpg"));
    EXPECT_EQ(finalFileName(QStringLiteral("abcdef.png"), folder, queue), QStringLiteral("abcdef.png"));
    // No room at all leaves the extension alone.
    const QString deep = QLatin1Char('/') + QString(260, QLatin1Char('f')) + QLatin1Char('/');
    EXPECT_EQ(finalFileName(QStringLiteral("abc.gif"), deep, queue), QStringLiteral(".jpg"));
}

int utf8Bytes(const QString &s)
{
    return int(s.toUtf8().size());
}

bool hasLoneSurrogate(const QString &s)
{
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s.at(i).isHighSurrogate() && (i + 1 == s.size() || !s.at(i + 1).isLowSurrogate()))
            return true;
        if (s.at(i).isLowSurrogate() && (i == 0 || !s.at(i - 1).isHighSurrogate()))
            return true;
    }
    return false;
}

TEST(FileNaming, OneComponentFitsIn255Bytes)
{
    const struct {
        const char *label;
        QString base;
    } cases[] = {
        {"three-byte characters", QString(200, QChar(u'山'))},
        {"four-byte characters", QString::fromUtf16(u"😀").repeated(100) + QStringLiteral(".png")},
        {"mixed", QStringLiteral("a") + QString(120, QChar(u'é')) + QString(50, QChar(u'水'))},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        AlbumQueue queue;
        QStringList names;
        for (int i = 0; i < 3; ++i) {
            const QString name = finalFileName(c.base, QStringLiteral("/p/"), queue);
            EXPECT_LE(utf8Bytes(name), kMaxNameBytes);
            EXPECT_GT(utf8Bytes(name), kMaxNameBytes - 4);  // cut, not emptied
            EXPECT_FALSE(hasLoneSurrogate(name));
            EXPECT_FALSE(names.contains(name));
            names.append(name);
            queue.queuePicture(pictureAt(QStringLiteral("u")), name);
        }
        EXPECT_TRUE(names.at(1).contains(QStringLiteral("(1).")));
        EXPECT_TRUE(names.at(2).contains(QStringLiteral("(2).")));
    }
}

TEST(FileNaming, AlbumFolders)
{
    const struct {
        const char *label;
        uint8_t folderBase;
        const char16_t *prefix;
        const char16_t *suffix;
        const char16_t *albumName;
        const char16_t *expected;
    } cases[] = {
        {"album name", kFolderBaseAlbumName, u"", u"", u"Trip", u"Trip"},
        {"no folder", kFolderBaseNone, u"", u"", u"Trip", u""},
        {"unsupported escape keeps its digit", kFolderBaseNone, u"?2", u"", u"Trip", u"2"},
        {"supported escapes", kFolderBaseAlbumName, u"?9-?3-", u"_?1", u"Trip", u"0003-3-Trip_Trip"},
        {"dots only", kFolderBaseAlbumName, u"", u"", u"..", u"\u3002\u3002"},
        {"climbing name", kFolderBaseAlbumName, u"", u"", u"../../etc", u"etc"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        AlbumRecord album;
        album.name = QString::fromUtf16(c.albumName);
        album.position = 2;
        NameRules rules;
        rules.folderBase = c.folderBase;
        rules.folderPrefix = QString::fromUtf16(c.prefix);
        rules.folderSuffix = QString::fromUtf16(c.suffix);
        EXPECT_EQ(albumFolderName(album, rules), QString::fromUtf16(c.expected));
    }
    AlbumRecord longAlbum;
    longAlbum.name = QString(300, QChar(u'山'));
    const QString folder = albumFolderName(longAlbum, NameRules());
    EXPECT_EQ(folder, QString(85, QChar(u'山')));
}

}  // namespace

}  // namespace pictrove
