// pictrove-manpage FILE VERSION DATE: writes the manual page pictrove.1 from the table
// `pictrove --help` prints. Run by the build.

#include "ui/startup/DesktopHelp.h"

int main(int argc, char *argv[])
{
    return pictrove::writeManPageMain(pictrove::desktopHelp(), argc, argv);
}
