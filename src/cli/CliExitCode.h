#pragma once
// The exit statuses of pictrove-cli, as --help lists them (cli/CliHelp.cpp).

namespace pictrove {

enum CliExitCode : int {
    kExitDone = 0,
    kExitNoAlbum = 1,
    kExitUsage = 2,
    kExitSaveFolder = 3,
    kExitLoginNeeded = 4,
    kExitPicturesFailed = 5,
    kExitLoginUnanswered = 6,  // the passport or Weibo gave no answer we can use
    kExitInterrupted = 130,
};

}  // namespace pictrove
