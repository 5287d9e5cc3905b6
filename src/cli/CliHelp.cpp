#include "cli/CliHelp.h"

namespace pictrove {

namespace {

const char *const kSynopsis[] = {
    "[--data-dir DIR] [--cookies FILE] list ADDRESS",
    "[--data-dir DIR] [--cookies FILE] download ADDRESS [--albums SPEC] [--save DIR] [--threads N] "
    "[--timeout S] [--min-kb N] [--max-kb N] [--fix-format] [--fix-order] [--title-file] [--thunder-list] "
    "[--skip-previous] [--no-archive] [--failed-list FILE]",
    "[--data-dir DIR] login | whoami | logout",
    "--help | --version",
};

const char *const kDescription =
    "Lists or downloads the photo albums of a Sina blog or Sina Weibo owner, with the engine and the "
    "settings of the desktop program pictrove.";

const HelpItem kCommands[] = {
    {"list ADDRESS", "print the owner's albums: number, name, picture count, remark (tab-separated)"},
    {"download ADDRESS", "download the chosen albums, one folder per album under the save folder"},
    // The Weibo login.
    {"login",
     "log in to Weibo by scanning the code it draws in the terminal with the Weibo phone app, then confirming "
     "there; prints each state, ends once Weibo names the account (an expired code is renewed once); the "
     "login is saved in the cookie store of the data folder, where the desktop program finds it too"},
    {"whoami", "print the Weibo account of the saved login, or say that there is none or that it has run out"},
    {"logout", "forget the saved Weibo login"},
};

const HelpItem kOptions[] = {
    {"--data-dir DIR",
     "folder of soft.dat, the extension settings and the cookie store (default: the current folder when "
     "it holds a soft.dat, else ~/.local/share/Pictrove, the desktop program's folder, whose logins "
     "are used)"},
    {"--cookies FILE", "first import the cookies of a Netscape-format cookie file (a browser login)"},
    {"--albums SPEC", "album numbers as list prints them: 3, 1,4, 2-5 or all (default: all)"},
    {"--save DIR",
     "save folder (default: the last save path used, else ~/Pictures/Pictrove, or the data folder when "
     "it is the current folder)"},
    {"--threads N", "parallel transfers for this run, 1-15"},
    {"--timeout S", "network time-out in seconds for this run, 10 or more"},
    {"--min-kb N", "skip pictures smaller than N KB in this run"},
    {"--max-kb N", "skip pictures larger than N KB in this run (0: no limit)"},
    {"--fix-format", "correct each picture's extension to its real format"},
    {"--fix-order", "stamp the pictures' times so they sort in album order"},
    {"--title-file", "also write each picture's title into the album's title file"},
    {"--thunder-list", "write a Thunder download list per album instead of downloading"},
    {"--skip-previous", "skip pictures downloaded by an earlier run: a whole album by its marker file, any picture in the download archive (wherever its file is now), and any picture whose file is already there under the name the rules give it (a stopped album resumes; such a file is recorded in the archive without fetching it)"},
    {"--no-archive", "neither read nor write the download archive (archive.sqlite in the data folder) in this run: with --skip-previous only the marker files and the files already there count"},
    {"--failed-list FILE",
     "write the pictures that did not arrive to FILE, one per line: address, a tab, the reason (UTF-8), "
     "so a script can retry them"},
    {"--help", "show this help"},
    {"--version", "show the version"},
};

const char *const kNotes[] = {
    "Run-only options (--threads, --fix-format, ...) apply to one run and are never saved.",
    "After a download a summary line on stderr counts the pictures saved, skipped (already there) and "
    "failed, those a stop or a full disk left untried, and the albums left incomplete (a list page still "
    "failed after three tries).",
};

const HelpItem kExitStatus[] = {
    {"0", "done"},
    {"1", "no album listed or chosen"},
    {"2", "bad usage or not a web address"},
    {"3", "the save folder could not be created (logout: the cookie store could not be written)"},
    {"4", "the owner's albums need a login: log in with pictrove-cli login or the desktop program, or give a "
          "browser's cookies with --cookies FILE; or the saved Weibo login has run out (log in again with "
          "pictrove-cli login); login: the code expired twice or Weibo refused, with the reason; whoami: no "
          "saved login, or it has run out"},
    {"5", "some pictures did not arrive, an album is incomplete, or the disk is full"},
    {"6", "login, whoami: the Weibo passport or Weibo gave no answer that can be used"},
    {"130", "interrupted"},
};

const HelpSection kSections[] = {
    {"Commands", kCommands},
    {"Options", kOptions},
};

}  // namespace

const CommandHelp &cliHelp()
{
    static const CommandHelp help{
        "pictrove-cli",
        "list and download the photo albums of Sina blog and Sina Weibo owners",
        kSynopsis,
        kDescription,
        kSections,
        kNotes,
        kExitStatus,
    };
    return help;
}

std::span<const HelpItem> cliOptionHelp()
{
    return kOptions;
}

QString cliUsage()
{
    return helpText(cliHelp());
}

}  // namespace pictrove
