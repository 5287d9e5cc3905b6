#include "cli/CliHelp.h"

namespace pictrove {

namespace {

const char *const kSynopsis[] = {
    "[--data-dir DIR] [--cookies FILE] list ADDRESS",
    "[--data-dir DIR] [--cookies FILE] download ADDRESS [--albums SPEC] [--save DIR] [--threads N] "
    "[--timeout S] [--min-kb N] [--max-kb N] [--fix-format] [--fix-order] [--title-file] [--thunder-list] "
    "[--skip-previous] [--no-archive] [--no-live-motion] [--no-videos] [--no-post-times] [--sidecar] "
    "[--failed-list FILE]",
    ("[--data-dir DIR] [--cookies FILE] update [OWNER...] [--owners-file FILE] [--save DIR] [--threads N] "
     "[--timeout S] [--no-live-motion] [--no-videos] [--no-post-times] [--sidecar] [--failed-list FILE]"),
    "[--data-dir DIR] [--cookies FILE] missing ADDRESS [--failed-list FILE]",
    "[--data-dir DIR] login | whoami | logout",
    "--help | --version",
};

const char *const kDescription =
    "Lists or downloads the photo albums of a Sina blog or Sina Weibo owner, with the engine and the "
    "settings of the desktop program pictrove.";

const HelpItem kCommands[] = {
    {"list ADDRESS", "print the owner's albums: number, name, picture count, remark (tab-separated)"},
    {"download ADDRESS", "download the chosen albums, one folder per album under the save folder"},
    // Keeping owners current, from the download archive.
    {"update OWNER...",
     "for each owner address given (and each one in --owners-file), one after another at the pace the service "
     "allows: list the owner again, then download, in every album the download archive holds something of for "
     "that owner, only what is new (as --skip-previous, also in the middle of an album); albums never "
     "downloaded are left alone. Prints a line per owner on stdout: the address, its exit status and what "
     "became of it. This is the command to put in cron or a systemd timer"},
    {"missing ADDRESS",
     "list the owner's albums and their pictures again (fetching no picture) and print, per album, a line "
     "\"# number, name, 已存档 archived/listed\", then each picture the download archive does not hold as "
     "--failed-list writes it: address, a tab, the reason its last download failed or 未存档 when it "
     "was never tried. Exits 0 when nothing is missing, 8 when something is, 5 when an album could not "
     "be listed whole"},
    // The Weibo login.
    {"login",
     "log in to Weibo by scanning the code it draws in the terminal with the Weibo phone app, then confirming "
     "there; prints each state, ends once Weibo names the account (an expired code is renewed once); the "
     "login is saved in the cookie store of the data folder, where the desktop program finds it too"},
    {"whoami", "print the Weibo account of the saved login, or say that there is none or that it has run out"},
    {"logout", "forget the saved Weibo login"},
};

const HelpItem kUpdateOptions[] = {
    {"--owners-file FILE",
     "update: also every owner address in FILE, one a line; blank lines and lines starting with # are left "
     "out. A line that is no address is reported and counted in the exit status; the other owners still run"},
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
    {"--no-live-motion",
     "save only the still of a live photo, not its moving part (name.mov beside name.jpg) in this run"},
    {"--no-videos", "leave the posts' videos out of this run"},
    {"--no-post-times",
     "keep the files' times as they arrived (or as --fix-order stamps them) instead of setting each file's "
     "modification time to its post's time, in this run"},
    {"--sidecar",
     "write pictrove.jsonl into each album folder in this run: one JSON line per saved file (file name, "
     "media kind, picture id, post id, post time, post text, address, album, owner)"},
    {"--failed-list FILE",
     "write the pictures that did not arrive to FILE, one per line: address, a tab, the reason (UTF-8), "
     "so a script can retry them"},
    {"--help", "show this help"},
    {"--version", "show the version"},
};

const char *const kNotes[] = {
    "Run-only options (--threads, --fix-format, ...) apply to one run and are never saved.",
    "Weibo posts give more than pictures: a GIF is saved as .gif, a live photo as its still and its "
    "moving part side by side (name.jpg, name.mov), a video as .mp4. The desktop program's download "
    "settings (下载参数设置) turn moving parts and videos off for good (media.ini in the data folder); "
    "--no-live-motion and --no-videos do it for one run.",
    "Each saved file's modification time is its post's time when the service gives one (post.ini in the "
    "data folder, file_time_from_post=0 turns it off for good). With --fix-order too, the post times win "
    "in an album where every picture has one; otherwise the album keeps the made-up order.",
    "File names take the post's letter escapes in the rules' prefix and suffix: ?d post date (YYYYMMDD) "
    "and ?t post time (HHMMSS), both China Standard Time, ?p post id, ?i picture id, ?n the picture's "
    "number within its post, ?o the owner's id; a value the service does not give is empty, and the "
    "usual (1), (2) keeps names apart.",
    "After a download a summary line on stderr counts the pictures saved, skipped (already there) and "
    "failed, those a stop or a full disk left untried, and the albums left incomplete (a list page still "
    "failed after three tries).",
    ("update ends with the worst of its owners' exit statuses, worst first: 130, 2, 3, 4, 5, 1, 8, 0. An "
     "owner whose albums the download archive knows nothing of has nothing to update (status 1): download "
     "it once first. --no-archive cannot be used with update."),
    ("When the download archive knows the owner, list prints a fifth column, 已存档 N/M: N of the album's M "
     "pictures are archived; then, when not zero, · 缺文件 K: K of those files are gone from under the save "
     "folder (--save DIR, else the last save path used; with neither the files are not looked for), and "
     "· 失败 F: F pictures failed their last download."),
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
    {"8", "missing: the service lists pictures the download archive does not hold"},
    {"130", "interrupted"},
};

const HelpExample kExamples[] = {
    {"Keep the owners of ~/owners.txt current every night: a systemd user service "
     "~/.config/systemd/user/pictrove-update.service ...",
     "[Unit]\n"
     "Description=Download what is new from the owners I keep\n"
     "\n"
     "[Service]\n"
     "Type=oneshot\n"
     "ExecStart=/usr/bin/pictrove-cli update --owners-file %h/owners.txt --save %h/Pictures/Pictrove\n"},
    {"... and its timer ~/.config/systemd/user/pictrove-update.timer, started with "
     "systemctl --user enable --now pictrove-update.timer:",
     "[Unit]\n"
     "Description=Update the owners every night\n"
     "\n"
     "[Timer]\n"
     "OnCalendar=*-*-* 03:30\n"
     "RandomizedDelaySec=30min\n"
     "Persistent=true\n"
     "\n"
     "[Install]\n"
     "WantedBy=timers.target\n"},
    {"Or a crontab line (crontab -e):",
     "30 3 * * * pictrove-cli update --owners-file $HOME/owners.txt >> $HOME/pictrove-update.log 2>&1\n"},
};

const HelpSection kSections[] = {
    {"Commands", kCommands},
    {"Options", kOptions},
    {"Update options", kUpdateOptions},
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
        kExamples,
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
