// pictrove-cli-manpage FILE VERSION DATE: writes the manual page pictrove-cli.1 from
// the table --help prints. Run by the build.

#include "cli/CliHelp.h"

int main(int argc, char *argv[])
{
    return pictrove::writeManPageMain(pictrove::cliHelp(), argc, argv);
}
