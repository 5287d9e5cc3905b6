#include "cli/ExitStatus.h"

#include <algorithm>
#include <iterator>

namespace pictrove {

namespace {

// Best first.
const int kRanking[] = {
    kExitDone,           kExitPicturesMissing, kExitNoAlbum,
    kExitPicturesFailed, kExitLoginUnanswered, kExitLoginNeeded,
    kExitSaveFolder,     kExitUsage,           kExitInterrupted};

int rank(int code) {
  const auto found = std::find(std::begin(kRanking), std::end(kRanking), code);
  // A status this table does not know is taken for the worst but an
  // interruption.
  return found == std::end(kRanking) ? int(std::size(kRanking)) - 2
                                     : int(found - std::begin(kRanking));
}

} // namespace

int worseExit(int a, int b) { return rank(b) > rank(a) ? b : a; }

int updateExit(const event::UpdateFinished &update) {
  switch (update.result) {
  case UpdateResult::Stopped:
    return kExitInterrupted;
  case UpdateResult::NothingArchived:
  case UpdateResult::NoArchive:
    return kExitNoAlbum;
  case UpdateResult::NotListed:
    if (update.list == ListResult::NoAddress ||
        update.list == ListResult::NotWebAddress)
      return kExitUsage;
    return update.list == ListResult::LoginNeeded ||
                   update.list == ListResult::LoginExpired
               ? kExitLoginNeeded
               : kExitNoAlbum;
  case UpdateResult::Updated:
    break;
  }
  // An album's listing met the service's login answer: a login puts it right.
  if (update.run.loginRefusal == ListResult::LoginNeeded ||
      update.run.loginRefusal == ListResult::LoginExpired)
    return kExitLoginNeeded;
  if (update.download == DownloadResult::SaveFolderFailed ||
      update.download == DownloadResult::NoSavePath)
    return kExitSaveFolder;
  const bool whole = update.run.failed == 0 &&
                     update.run.incompleteAlbums == 0 &&
                     update.download != DownloadResult::DiskFull;
  return whole ? kExitDone : kExitPicturesFailed;
}

} // namespace pictrove
