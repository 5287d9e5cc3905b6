#pragma once
// pictrove-cli's exit statuses, what a result of the engine makes of them, and
// which of two is worse: a run over several owners ends with the worst of
// theirs.

#include "download/DownloadEvents.h"

namespace pictrove {

enum ExitCode : int {
  kExitDone = 0,
  kExitNoAlbum = 1,
  kExitUsage = 2,
  kExitSaveFolder = 3,
  kExitLoginNeeded = 4,
  kExitPicturesFailed = 5,
  kExitLoginUnanswered =
      6, // login, whoami: the passport or Weibo gave no answer we can use
  kExitPicturesMissing =
      8, // `missing`: the service lists pictures the archive does not hold
  kExitInterrupted = 130,
};

// The one of `a` and `b` a script must hear about first: an interruption, then
// what only the user can put right (the command line, the save folder, a
// login), then pictures that did not arrive, then an owner with nothing to do,
// then pictures still missing; done last.
int worseExit(int a, int b);

// The status of one owner's update.
int updateExit(const event::UpdateFinished &update);

} // namespace pictrove
