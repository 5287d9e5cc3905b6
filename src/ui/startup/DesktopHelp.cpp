#include "ui/startup/DesktopHelp.h"

namespace pictrove {

namespace {

const char *const kSynopsis[] = {
    "[--data-dir DIR] [ADDRESS]",
    "--help | --version",
};

const char *const kDescription =
    "Starts the album downloader for Sina blog and Sina Weibo owners. With an ADDRESS, an owner's page "
    "(the menu entry passes a link dropped on it), the address box is filled and Get List runs as soon as "
    "the window is ready.";

const HelpItem kOptions[] = {
    {"--data-dir DIR",
     "folder of soft.dat, the extension settings, the logins (cookie store and login browser) and the "
     "thumbnail cache (default: the current folder when it holds a soft.dat, else ~/.local/share/Pictrove, "
     "which pictrove-cli uses too)"},
    {"--help", "show this help"},
    {"--version", "show the version"},
};

const HelpSection kSections[] = {
    {"Options", kOptions},
};

const char *const kNotes[] = {
    "Pictures go to ~/Pictures/Pictrove until a save path is chosen. Qt's own options (-platform, -style, "
    "...) are understood as well.",
    "pictrove-cli lists and downloads the same albums from a shell, with the same settings and logins.",
};

}  // namespace

const CommandHelp &desktopHelp()
{
    static const CommandHelp help{
        "pictrove",
        "download whole photo albums of Sina blog and Sina Weibo owners",
        kSynopsis,
        kDescription,
        kSections,
        kNotes,
        {},
    };
    return help;
}

}  // namespace pictrove
