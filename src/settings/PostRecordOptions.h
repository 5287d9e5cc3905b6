#pragma once
// What a download keeps of each picture's post beside its file: the post time as the
// file's modification time (on unless the user turned it off) and a "pictrove.jsonl"
// record per album (off unless turned on). Kept in "post.ini" in the data folder,
// beside "soft.dat", as "media.ini" is: the record of "soft.dat" has a fixed layout
// whose option words hold no spare bit.

#include <QString>

namespace pictrove {

struct PostRecordOptions {
    // Each saved file's modification time is its post's time. With the order repair,
    // the post times win when every picture of the album has one.
    bool postTimeAsFileTime = true;
    bool sidecar = false;  // one line per saved file in the album's "pictrove.jsonl"

    bool operator==(const PostRecordOptions &) const = default;
};

// The options' help, the same in the settings dialog and the manual.
inline constexpr const char16_t *kPostTimeOptionHelp =
    u"下载完成后把每个文件的修改时间设为它那条微博的发布时间。"
    u"同时勾选“修正图片顺序”时：相册里每张图片都有发布时间，就用发布时间；"
    u"有图片没有发布时间，就仍按修正图片顺序编排的时间。";
inline constexpr const char16_t *kSidecarOptionHelp =
    u"在每个相册文件夹里写 pictrove.jsonl：每个保存的文件一行 JSON，记下文件名、类型、图片编号、"
    u"微博编号、发布时间、微博正文、网址、相册和用户。";

// The options stored in `dataFolder` + "post.ini" (`dataFolder` ends in "/"); the
// defaults above for a missing file or key.
PostRecordOptions readPostRecordOptions(const QString &dataFolder);

// Replaces "post.ini" whole (AtomicFile). False when it could not be written.
bool savePostRecordOptions(const QString &dataFolder, const PostRecordOptions &options);

}  // namespace pictrove
