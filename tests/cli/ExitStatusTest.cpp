// The exit status of a run over several owners is the worst of theirs, and each
// owner's comes from how its update ended. The owners file's lines.

#include "cli/ExitStatus.h"
#include "cli/OwnersFile.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <algorithm>

namespace pictrove {

namespace {

TEST(ExitStatus, TheWorstOfSeveralOwnersWins) {
  const struct {
    QList<int> owners;
    int worst;
  } cases[] = {
      {{kExitDone, kExitDone}, kExitDone},
      {{kExitDone, kExitPicturesMissing}, kExitPicturesMissing},
      {{kExitPicturesMissing, kExitNoAlbum}, kExitNoAlbum},
      {{kExitNoAlbum, kExitPicturesFailed, kExitDone}, kExitPicturesFailed},
      {{kExitPicturesFailed, kExitLoginNeeded}, kExitLoginNeeded},
      {{kExitLoginNeeded, kExitSaveFolder}, kExitSaveFolder},
      {{kExitUsage, kExitSaveFolder, kExitDone}, kExitUsage},
      {{kExitUsage, kExitInterrupted}, kExitInterrupted},
      {{kExitInterrupted, kExitUsage}, kExitInterrupted},
  };
  for (const auto &c : cases) {
    QList<int> order = c.owners;
    std::sort(order.begin(), order.end());
    do { // whatever order the owners ran in
      int worst = kExitDone;
      for (const int status : order)
        worst = worseExit(worst, status);
      EXPECT_EQ(worst, c.worst);
    } while (std::next_permutation(order.begin(), order.end()));
  }
}

TEST(ExitStatus, AnOwnersStatusComesFromItsUpdate) {
  const auto finished = [](UpdateResult result, ListResult list,
                           std::optional<DownloadResult> download,
                           PictureCounts run = {}) {
    event::UpdateFinished e;
    e.result = result;
    e.list = list;
    e.download = download;
    e.run = run;
    return e;
  };
  PictureCounts failed;
  failed.failed = 1;
  PictureCounts incomplete;
  incomplete.incompleteAlbums = 1;
  PictureCounts skipped;
  skipped.skipped = 30;
  skipped.sizeSkipped = 2;
  PictureCounts loginRunOut;
  loginRunOut.incompleteAlbums = 2;
  loginRunOut.loginRefusal = ListResult::LoginExpired;
  const struct {
    const char *what;
    event::UpdateFinished update;
    int status;
  } cases[] = {
      {"updated",
       finished(UpdateResult::Updated, ListResult::Listed,
                DownloadResult::Finished, skipped),
       kExitDone},
      {"a failure",
       finished(UpdateResult::Updated, ListResult::Listed,
                DownloadResult::Finished, failed),
       kExitPicturesFailed},
      {"incomplete",
       finished(UpdateResult::Updated, ListResult::Listed,
                DownloadResult::Finished, incomplete),
       kExitPicturesFailed},
      {"disk full",
       finished(UpdateResult::Updated, ListResult::Listed,
                DownloadResult::DiskFull),
       kExitPicturesFailed},
      {"save folder",
       finished(UpdateResult::Updated, ListResult::Listed,
                DownloadResult::SaveFolderFailed),
       kExitSaveFolder},
      {"stopped",
       finished(UpdateResult::Stopped, ListResult::Stopped, std::nullopt),
       kExitInterrupted},
      {"nothing archived",
       finished(UpdateResult::NothingArchived, ListResult::Listed,
                std::nullopt),
       kExitNoAlbum},
      {"no archive",
       finished(UpdateResult::NoArchive, ListResult::Listed, std::nullopt),
       kExitNoAlbum},
      {"no address",
       finished(UpdateResult::NotListed, ListResult::NotWebAddress,
                std::nullopt),
       kExitUsage},
      {"login",
       finished(UpdateResult::NotListed, ListResult::LoginNeeded, std::nullopt),
       kExitLoginNeeded},
      {"saved login run out",
       finished(UpdateResult::NotListed, ListResult::LoginExpired,
                std::nullopt),
       kExitLoginNeeded},
      {"albums' listing met a run-out login",
       finished(UpdateResult::Updated, ListResult::Listed,
                DownloadResult::Finished, loginRunOut),
       kExitLoginNeeded},
      {"nothing found",
       finished(UpdateResult::NotListed, ListResult::NothingFound,
                std::nullopt),
       kExitNoAlbum},
      {"unreachable",
       finished(UpdateResult::NotListed, ListResult::Unreachable, std::nullopt),
       kExitNoAlbum},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(updateExit(c.update), c.status);
  }
}

TEST(OwnersFile, CommentsAndBlankLinesAreLeftOut) {
  EXPECT_EQ(ownerAddressesIn("# mine\n\nhttps://weibo.com/u/1\r\n   # indented "
                             "comment\n  http://blog.sina.com.cn/u/2  \n"
                             "not an address\n\t\nhttps://weibo.com/u/3"),
            (QStringList{"https://weibo.com/u/1", "http://blog.sina.com.cn/u/2",
                         "not an address", "https://weibo.com/u/3"}));
  EXPECT_TRUE(ownerAddressesIn("").isEmpty());
  EXPECT_TRUE(ownerAddressesIn("#\n# only comments\n").isEmpty());
}

TEST(OwnersFile, AFileThatCannotBeReadSaysWhy) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QString error;
  EXPECT_FALSE(readOwnersFile(dir.filePath(QStringLiteral("none.txt")), error));
  EXPECT_EQ(error, QStringLiteral("no such file"));
  EXPECT_FALSE(readOwnersFile(dir.path(), error));
  EXPECT_EQ(error, QStringLiteral("not a file"));
}

} // namespace

} // namespace pictrove
